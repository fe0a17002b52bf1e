// The frame loop's pacing with an empty dispatch: 300 frames at 800x600.
// Reports the mean and worst frame length (the 16 ms busy-wait included) and
// the loop's own cost per frame without the wait. Run under a display
// (xvfb-run -a -s "-screen 0 1024x768x24" bench/bench_frame_loop).
#include "platform/message.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "engine/startup.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;

static double Run(ZELKOR_Window& window, ZELKOR_OpenGL& gl, ZELKOR_Timer& timer, int frames,
                  bool wait, double* worst) {
    ZELKOR_Message msg = {};
    std::vector<double> lengths;
    Clock::time_point last = Clock::now();
    for (int i = 0; i < frames; i++) {
        timer.BeginFrame();
        window.PumpMessage(&msg);
        gl.BeginFrame(); // the empty dispatch: the frame is only cleared
        gl.EndFrame();
        if (wait) timer.EndFrame();
        Clock::time_point now = Clock::now();
        lengths.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
    *worst = *std::max_element(lengths.begin(), lengths.end());
    double sum = 0;
    for (double v : lengths) sum += v;
    return sum / lengths.size();
}

int main() {
    ZELKOR_Window window;
    ZELKOR_OpenGL gl;
    ZELKOR_Timer timer;
    if (!window.Initialize(nullptr, WindowProc, 800, 600, 0, nullptr) ||
        !gl.Initialize(&window, 32, nullptr)) {
        fprintf(stderr, "bench_frame_loop: no window or OpenGL context (is a display set?)\n");
        return 1;
    }
    timer.Initialize(60, nullptr);
    timer.SetBeginDemo();
    double worst = 0;
    Run(window, gl, timer, 30, true, &worst); // warm-up
    double mean = Run(window, gl, timer, 300, true, &worst);
    printf("paced:   300 frames, mean %.3f ms, worst %.3f ms\n", mean, worst);
    double cost = Run(window, gl, timer, 300, false, &worst);
    printf("no wait: 300 frames, mean %.3f ms, worst %.3f ms (the loop's own cost)\n", cost, worst);
    gl.Shutdown();
    window.Shutdown();
    return 0;
}
