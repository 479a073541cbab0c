#version 330
// Depth of brushes for the shadow map and the occlusion prepass.

in vec3 vertexPosition;

uniform mat4 mvp;

// The lit pass draws where the depth pass left equal depths: both compute the position alike.
invariant gl_Position;

void main()
{
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
