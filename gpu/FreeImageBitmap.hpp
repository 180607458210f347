// A FreeImage bitmap that unloads itself, for the readers and writers of image files.
#pragma once

#include <memory>

#include <FreeImage.h>

namespace kes {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

}  // namespace kes
