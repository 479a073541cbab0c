#version 330
// Lit brushes and models: world position, normal and the position in the shadow map's space.
// Merged brush geometry is already in world space (an identity model matrix) and carries each
// brush's colour per vertex; a mesh without colours reads white.

in vec3 vertexPosition;
in vec2 vertexTexCoord;
in vec3 vertexNormal;
in vec4 vertexColor;

uniform mat4 mvp;
uniform mat4 matModel;
uniform mat4 matNormal;
uniform mat4 lightVP;

out vec3 fragPosition;
out vec2 fragTexCoord;
out vec3 fragNormal;
out vec4 fragColor;
out vec3 fragShadowCoord;

// The lit pass draws where the depth pass left equal depths: both compute the position alike.
invariant gl_Position;

void main()
{
    vec4 world = matModel * vec4(vertexPosition, 1.0);
    fragPosition = world.xyz;
    fragTexCoord = vertexTexCoord;
    fragNormal = vec3(matNormal * vec4(vertexNormal, 0.0));
    fragColor = vertexColor;
    // The shadow camera is orthographic: the shadow map's coordinates are linear in the world
    // position, so they are found here once per vertex rather than once per fragment.
    vec4 light = lightVP * world;
    fragShadowCoord = light.xyz / light.w * 0.5 + 0.5;
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
