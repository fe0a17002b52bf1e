// The trail's step: the frame before drawn again a little larger and turned
// about the middle, so the trail streams outward and swirls, and faded by
// "fade" (the track trail.fade sets it every frame). A little more is taken
// off each step, so the faintest light goes out rather than stays.
uniform sampler2D picture; // the trail as the frame before left it
uniform float fade;
uniform float time; // music time, s
varying vec2 vTexCoord;

void main() {
    float a = 0.012 * sin(0.5 * time);
    vec2 p = (vTexCoord - 0.5) * 0.985;
    p = vec2(p.x * cos(a) - p.y * sin(a), p.x * sin(a) + p.y * cos(a));
    vec3 before = texture2D(picture, p + 0.5).rgb;
    gl_FragColor = vec4(max(before * fade - 1.5 / 255.0, 0.0), 1.0);
}
