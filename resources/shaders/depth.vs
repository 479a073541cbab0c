#version 330
// Depth of brushes for the shadow map and the occlusion prepass.

in vec3 vertexPosition;

uniform mat4 mvp;

void main()
{
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
