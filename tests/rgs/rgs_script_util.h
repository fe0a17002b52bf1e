// Builds binary RGS scripts in tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

struct ScriptBuilder {
    std::vector<uint8_t> bytes{'R', 'G', 'S', 0};
    ScriptBuilder& Add(uint8_t opcode, std::initializer_list<float> params = {}) {
        bytes[3]++;
        bytes.push_back(opcode);
        float p[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        int k = 0;
        for (float f : params) p[k++] = f;
        for (float f : p) {
            uint32_t b;
            memcpy(&b, &f, 4);
            for (int i = 0; i < 4; i++) bytes.push_back((uint8_t)(b >> (8 * i)));
        }
        return *this;
    }
};
