// One row of a PNG picture (8-bit RGB) filtered as stb's whole-picture
// writer filters it, so that a picture written a row at a time has the
// same bytes: `out` takes the filter byte and width * 3 filtered bytes.
// `above` is the row before (null for the first); both rows must lie in
// one buffer. Returns the filter chosen.
#pragma once

int stbPngFilterRow(const unsigned char* above, const unsigned char* row, int width, unsigned char* out);
