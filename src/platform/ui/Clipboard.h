#pragma once

class CBitmap;

// Puts `picture` on the desktop's clipboard as an image: other programs paste it as PNG or
// BMP, among the image types the toolkit offers. False when it could not be made.
[[nodiscard]] bool SetClipboardBitmap(CBitmap* picture);
