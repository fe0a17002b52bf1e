// The glow's picture: the scene's bright parts (above a threshold),
// blurred over a disc of 13 reads. Drawn into a small target, whose pixels
// each stand for sixteen of the picture's.
uniform sampler2D picture; // the scene
uniform vec2 resolution;   // the small target's
varying vec2 vTexCoord;

vec3 Bright(vec2 at) {
    return max(texture2D(picture, at).rgb - 0.45, 0.0);
}

void main() {
    vec2 texel = 1.0 / resolution;
    vec3 sum = Bright(vTexCoord);
    // Two rings of six, the outer turned half a step from the inner.
    for (int i = 0; i < 12; i++) {
        float outer = i < 6 ? 0.0 : 1.0;
        float a = float(i) * 1.0472 + outer * 0.5236;
        sum += Bright(vTexCoord + vec2(cos(a), sin(a)) * (1.2 + 1.4 * outer) * texel);
    }
    gl_FragColor = vec4(sum * (2.0 / 13.0), 1.0);
}
