// The rings: a ring of light leaves the middle on every beat and fades as
// it spreads, over fine rings that turn slowly, over the backdrop picture.
// GLSL ES 1.00 without a version line: the engine writes it.
uniform sampler2D backdrop;
uniform vec3 tint;
uniform float time;      // music time, s
uniform float beat;      // 0 on the beat, rising to 1 at the next
uniform vec2 resolution; // pixels drawn into
varying vec2 vTexCoord;

void main() {
    vec2 p = (vTexCoord - 0.5) * vec2(resolution.x / resolution.y, 1.0);
    float r = length(p);
    float d = r - beat * 0.9;
    float wave = exp(-90.0 * d * d) * (1.0 - beat);
    float a = atan(p.y, p.x);
    float fine = 0.5 + 0.5 * sin(38.0 * r - 3.0 * time + 3.0 * sin(3.0 * a + 0.5 * time));
    vec3 colour = tint * (0.55 + 0.45 * cos(0.4 * time + 4.0 * r + vec3(0.0, 2.1, 4.2)));
    vec3 picture = texture2D(backdrop, vTexCoord).rgb;
    gl_FragColor = vec4(picture * 0.7 + colour * (0.3 * fine * (1.0 - r) + 1.6 * wave), 1.0);
}
