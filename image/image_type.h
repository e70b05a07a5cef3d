#pragma once
// Image type numbers, chosen from the file-name extension (the text after the last ".",
// compared after lowering ASCII A-Z).

enum ImageType {
  IMG_UNKNOW = 0, ///< any other extension, or none
  IMG_BMP = 1,    ///< "bmp": load and save
  IMG_PCX = 2,    ///< "pcx": no codec
  IMG_JPG = 3,    ///< "jpg", "jpeg", "jpe", "jfif": load and save
  IMG_GIF = 4,    ///< "gif": load and save
  IMG_TGA = 5,    ///< "tga": no codec
  IMG_TIF = 6,    ///< "tif", "tiff": load and save
  IMG_PNG = 7,    ///< "png": load and save
  IMG_PSD = 8,    ///< "psd": no codec
  IMG_ICO = 9,    ///< "ico": load only
  IMG_XPM = 10,   ///< "xpm": no codec
  IMG_VQV = 11,   ///< "vqv", the editor's layered format: no codec
};
