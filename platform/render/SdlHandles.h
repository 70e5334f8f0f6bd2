#pragma once

#include <SDL.h>

#include <memory>

namespace qov {

// SDL objects owned by unique_ptr, each freed by its own SDL function.
template <auto Free>
struct SdlFree {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

using SurfacePtr = std::unique_ptr<SDL_Surface, SdlFree<SDL_FreeSurface>>;
using WindowPtr = std::unique_ptr<SDL_Window, SdlFree<SDL_DestroyWindow>>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlFree<SDL_DestroyRenderer>>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlFree<SDL_DestroyTexture>>;
using CursorPtr = std::unique_ptr<SDL_Cursor, SdlFree<SDL_FreeCursor>>;

}  // namespace qov
