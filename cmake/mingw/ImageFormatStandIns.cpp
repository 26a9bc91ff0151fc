// Included by the Windows build's copy of juce_graphics' unity file in place of the PNG and JPEG
// loaders. Debian's framework reads those formats through the system's libpng and libjpeg, which
// Debian does not build for Windows. The plug-in draws everything itself and loads no image file,
// so the two formats only need to exist: they still recognise their files, decode nothing and
// write nothing.

namespace juce
{

PNGImageFormat::PNGImageFormat() {}
PNGImageFormat::~PNGImageFormat() {}

String PNGImageFormat::getFormatName() { return "PNG"; }
bool PNGImageFormat::usesFileExtension (const File& f) { return f.hasFileExtension ("png"); }

bool PNGImageFormat::canUnderstand (InputStream& in)
{
    char header[4];
    return in.read (header, 4) == 4 && header[1] == 'P' && header[2] == 'N' && header[3] == 'G';
}

Image PNGImageFormat::decodeImage (InputStream&) { return {}; }
bool PNGImageFormat::writeImageToStream (const Image&, OutputStream&) { return false; }

JPEGImageFormat::JPEGImageFormat() : quality (-1.0f) {}
JPEGImageFormat::~JPEGImageFormat() {}

void JPEGImageFormat::setQuality (float newQuality) { quality = newQuality; }
String JPEGImageFormat::getFormatName() { return "JPEG"; }
bool JPEGImageFormat::usesFileExtension (const File& f) { return f.hasFileExtension ("jpeg;jpg"); }

bool JPEGImageFormat::canUnderstand (InputStream& in)
{
    uint8 header[3];
    return in.read (header, 3) == 3 && header[0] == 0xff && header[1] == 0xd8 && header[2] == 0xff;
}

Image JPEGImageFormat::decodeImage (InputStream&) { return {}; }
bool JPEGImageFormat::writeImageToStream (const Image&, OutputStream&) { return false; }

} // namespace juce
