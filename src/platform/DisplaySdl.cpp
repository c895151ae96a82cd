// Display surface over SDL2: one window, one OpenGL compatibility context current on the main
// thread until the process ends. Nothing here is ever torn down; process exit takes it all.
#include "platform/Display.h"

#include <SDL.h>
#include <SDL_opengl.h>

namespace {
SDL_Window* displayWindow = nullptr;
SDL_GLContext displayGLContext = nullptr;

void requestPixelFormat() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
}

void openWindow(int x, int y, int width, int height, Uint32 flags) {
    // Keep the desktop's resolution and compositor as they are while the show runs.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    requestPixelFormat();
    displayWindow = SDL_CreateWindow(nullptr, x, y, width, height,
                                     flags | SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI);
    displayGLContext = SDL_GL_CreateContext(displayWindow);
    SDL_GL_MakeCurrent(displayWindow, displayGLContext);
    // The context's first viewport is the drawable at creation time; set it from the drawable
    // explicitly so a high-DPI screen is covered whole, not only its point-sized corner.
    glViewport(0, 0, displayWidth(), displayHeight());
}
} // namespace

void createDisplay() {
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SDL_DisplayMode mode{};
    int width = 640;
    int height = 480;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        width = mode.w;
        height = mode.h;
    }
    openWindow(0, 0, width, height,
               SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SHOWN);
    SDL_ShowCursor(SDL_DISABLE);
}

void createHiddenDisplay(int width, int height) {
    openWindow(0, 0, width, height, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
}

int pollDisplayKey() {
    SDL_Event event;
    if (!SDL_PollEvent(&event)) {
        return 0;
    }
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) {
        return 0;
    }
    SDL_Keycode key = event.key.keysym.sym;
    if (key == SDLK_KP_ENTER) {
        return 13;
    }
    return static_cast<int>(key);
}

void* getDisplayDC() {
    return displayWindow;
}

void swapDisplayBuffers(void* dc) {
    if (dc) {
        SDL_GL_SwapWindow(static_cast<SDL_Window*>(dc));
    }
}

int displayWidth() {
    int width = 0;
    int height = 0;
    if (displayWindow) {
        SDL_GL_GetDrawableSize(displayWindow, &width, &height);
    }
    return width;
}

int displayHeight() {
    int width = 0;
    int height = 0;
    if (displayWindow) {
        SDL_GL_GetDrawableSize(displayWindow, &width, &height);
    }
    return height;
}

void pushDisplayKeyEvent(int keyCode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = keyCode;
    if (displayWindow) {
        event.key.windowID = SDL_GetWindowID(displayWindow);
    }
    SDL_PushEvent(&event);
}

void pushDisplayOtherEvent() {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = 3;
    SDL_PushEvent(&event);
}
