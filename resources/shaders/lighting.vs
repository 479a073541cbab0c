#version 330
// Lit brushes and models: world position, normal and the position in the shadow map's space.

in vec3 vertexPosition;
in vec2 vertexTexCoord;
in vec3 vertexNormal;

uniform mat4 mvp;
uniform mat4 matModel;
uniform mat4 matNormal;
uniform mat4 lightVP;

out vec3 fragPosition;
out vec2 fragTexCoord;
out vec3 fragNormal;
out vec4 fragLightSpace;

void main()
{
    vec4 world = matModel * vec4(vertexPosition, 1.0);
    fragPosition = world.xyz;
    fragTexCoord = vertexTexCoord;
    fragNormal = vec3(matNormal * vec4(vertexNormal, 0.0));
    fragLightSpace = lightVP * world;
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
