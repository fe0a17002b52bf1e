// The picture: the scene, and its glow added as strong as "strength" says
// (the track glow.strength sets it every frame).
uniform sampler2D picture; // the scene
uniform sampler2D glow;    // its bright parts, blurred
uniform float strength;
varying vec2 vTexCoord;

void main() {
    vec3 scene = texture2D(picture, vTexCoord).rgb;
    gl_FragColor = vec4(scene + strength * texture2D(glow, vTexCoord).rgb, 1.0);
}
