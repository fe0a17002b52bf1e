// ZELKOR_OpenGL: the display-mode change, the double-buffered RGBA context with
// a 16-bit depth buffer, the projection and the fixed render state.
#pragma once

class ZELKOR_Log;
class ZELKOR_Window;

class ZELKOR_OpenGL {
  public:
    ZELKOR_OpenGL() {}
    int Initialize(ZELKOR_Window* window, int colourBits, ZELKOR_Log* log);
    int SetPerspective(float farPlane, float fieldOfView);
    void BeginFrame(); // clears colour and depth, loads the identity
    void EndFrame();   // flush and swap
    void Shutdown();

  private:
    ZELKOR_Log* log = nullptr;
    ZELKOR_Window* window = nullptr;
    void* deviceContext = nullptr; // the SDL window the context draws into
    void* renderingContext = nullptr;
    int colourBits = 32;
    int cursorHidden = 0;
};
