// The print-stream decoder: our own library (libs/escdecode), not one of the
// maker's. Programs (vellox's soft proof, the proof tool, escp-decode)
// include this header and nothing of the library's own files: the stream's
// frames (also decoded as the stream is made), its pages as ink dots (whole,
// or summed into cells, whole or a row at a time, or a first page's overview
// as it passes), windows of one
// page's dots, stream indexes for decoding from a band's start, and PNG
// pictures of them.
#pragma once

#include "libs/escdecode/cell_rows.h"
#include "libs/escdecode/dot_band.h"
#include "libs/escdecode/dot_pages.h"
#include "libs/escdecode/escp_decoder.h"
#include "libs/escdecode/frame_feed.h"
#include "libs/escdecode/overview_sum.h"
#include "libs/escdecode/page_rows.h"
#include "libs/escdecode/page_stream.h"
#include "libs/escdecode/png_writer.h"
#include "libs/escdecode/printed_colour.h"
#include "libs/escdecode/stream_index.h"
