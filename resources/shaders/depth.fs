#version 330
// Only the depth buffer matters; the colour is a constant.

out vec4 finalColor;

void main()
{
    finalColor = vec4(1.0);
}
