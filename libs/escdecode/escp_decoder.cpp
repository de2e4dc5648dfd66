#include "libs/escdecode/escp_decoder.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace escp {
namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kColorCodes[8] = {0x02, 0x01, 0x04, 0x00, 0x12, 0x11, 0x10, 0x30};
constexpr const char* kInkNames[8] = {"cyan",       "magenta",       "yellow",      "black",
                                      "light cyan", "light magenta", "light black", "light-light black"};

class Reader {
 public:
  Reader(const uint8_t* data, size_t size, StreamOffset base = 0) : data_(data), size_(size), base_(base) {}
  size_t pos() const { return pos_; }
  StreamOffset offset() const { return base_ + pos_; }
  size_t left() const { return size_ - pos_; }
  bool has(size_t n) const { return left() >= n; }
  uint8_t peek(size_t ahead = 0) const { return data_[pos_ + ahead]; }
  const uint8_t* here() const { return data_ + pos_; }
  void skip(size_t n) { pos_ += n; }
  int le16(size_t ahead) const { return data_[pos_ + ahead] | (data_[pos_ + ahead + 1] << 8); }
  bool startsWith(const char* text) const {
    const size_t n = std::strlen(text);
    return has(n) && std::memcmp(here(), text, n) == 0;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  StreamOffset base_;  // stream offset of data_[0]
  size_t pos_ = 0;
};

struct Decoder {
  Reader in;
  Stream* out;
  bool remote = false;
  bool partial = false;  // more bytes follow those in `in`

  bool fail(const std::string& message) {
    out->problems.push_back({in.offset(), message});
    return false;
  }

  Frame& add(FrameKind kind, size_t length, std::string name) {
    Frame f;
    f.kind = kind;
    f.offset = in.offset();
    f.length = length;
    f.name = std::move(name);
    out->frames.push_back(std::move(f));
    return out->frames.back();
  }

  bool preamble() {
    size_t n = 0;
    while (n < in.left() && in.peek(n) == 0x11) ++n;
    if (partial && n == in.left()) return fail("preamble cut off");  // the run may go on
    add(FrameKind::kPreamble, n, "preamble");
    in.skip(n);
    return true;
  }

  bool ejlLine() {
    size_t n = 0;
    while (n < in.left() && in.peek(n) != 0x0A) ++n;
    if (n == in.left()) return fail("EJL line without its line feed");
    add(FrameKind::kEjlLine, n + 1, std::string(reinterpret_cast<const char*>(in.here()), n));
    in.skip(n + 1);
    return true;
  }

  bool remoteCommand() {
    if (!in.has(4)) return fail("remote-mode command cut off");
    const char a = static_cast<char>(in.peek(0)), b = static_cast<char>(in.peek(1));
    if (a < 'A' || a > 'Z' || b < 'A' || b > 'Z') return fail("not a remote-mode command");
    const size_t length = static_cast<size_t>(in.le16(2));
    if (!in.has(4 + length)) return fail(std::string("remote-mode command ") + a + b + " cut off");
    Frame& f = add(FrameKind::kRemoteCommand, 4 + length, std::string{a, b});
    f.params.assign(in.here() + 4, in.here() + 4 + length);
    in.skip(4 + length);
    return true;
  }

  bool rasterRow() {
    // ESC i c compression bits Dlo Dhi rowsLo rowsHi, then data
    if (!in.has(9)) return fail("raster command cut off");
    const int color = in.peek(2), compression = in.peek(3), bits = in.peek(4);
    const int declared = in.le16(5), rows = in.le16(7);
    if (planeOfColorCode(color) < 0) return fail("raster row with unknown colour code");
    if (compression != 1 || bits != 2 || rows != 1) return fail("raster row with unexpected compression, bits or rows");
    // Packed data runs until it unpacks to the declared length.
    size_t used = 0, produced = 0;
    const uint8_t* data = in.here() + 9;
    const size_t avail = in.left() - 9;
    while (produced < static_cast<size_t>(declared)) {
      if (used >= avail) return fail("raster data cut off");
      const uint8_t h = data[used];
      if (h == 0x80) return fail("packet header 80");
      const size_t n = h < 0x80 ? h + 1u : 257u - h;
      const size_t take = h < 0x80 ? n : 1;
      if (used + 1 + take > avail) return fail("raster data cut off");
      used += 1 + take;
      produced += n;
    }
    // Unpacked first: a row that does not unpack is a problem, never a frame.
    std::vector<uint8_t> unpacked;
    std::string error;
    if (!unpackBits(data, used, static_cast<size_t>(declared), &unpacked, &error)) return fail(error);
    Frame& f = add(FrameKind::kRasterRow, 9 + used, "i");
    f.colorCode = color;
    f.compression = compression;
    f.bitsPerDot = bits;
    f.declaredBytes = declared;
    f.rows = rows;
    f.params.assign(data, data + used);
    f.unpacked = std::move(unpacked);
    in.skip(9 + used);
    return true;
  }

  bool escCommand() {
    if (!in.has(2)) return fail("ESC at the end of the stream");
    const uint8_t c = in.peek(1);
    if (c == '@') {
      add(FrameKind::kEscCommand, 2, "@");
      in.skip(2);
      return true;
    }
    if (c == 'U') {
      if (!in.has(3)) return fail("ESC U cut off");
      Frame& f = add(FrameKind::kEscCommand, 3, "U");
      f.params = {in.peek(2)};
      in.skip(3);
      return true;
    }
    if (c == 'i') return rasterRow();
    if (c == 0x00) {
      if (!in.has(4) || in.peek(2) != 0 || in.peek(3) != 0) return fail("ESC 00 without 00 00");
      add(FrameKind::kRemoteExit, 4, "exit remote mode");
      in.skip(4);
      remote = false;
      return true;
    }
    if (c == '(') {
      if (!in.has(5)) return fail("ESC ( command cut off");
      const char letter = static_cast<char>(in.peek(2));
      const size_t length = static_cast<size_t>(in.le16(3));
      if (!in.has(5 + length)) return fail(std::string("ESC (") + letter + " cut off");
      const uint8_t* p = in.here() + 5;
      if (letter == 'R') {
        Frame& f = add(FrameKind::kRemoteEnter, 5 + length, "(R");
        f.params.assign(p, p + length);
        remote = true;
      } else if (letter == 'v') {
        Frame& f = add(FrameKind::kVerticalMove, 5 + length, "(v");
        f.params.assign(p, p + length);
        if (length == 2)
          f.lines = p[0] | (p[1] << 8);
        else if (length == 4)
          f.lines = static_cast<int>(static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) |
                                     (static_cast<uint32_t>(p[3]) << 24));
        else
          return fail("ESC (v with a parameter of neither 2 nor 4 bytes");
      } else {
        Frame& f = add(FrameKind::kEscCommand, 5 + length, std::string("(") + letter);
        f.params.assign(p, p + length);
      }
      in.skip(5 + length);
      return true;
    }
    return fail("unknown ESC command");
  }

  bool next() {
    if (remote) {
      if (in.peek() == kEsc) return escCommand();
      return remoteCommand();
    }
    const uint8_t b = in.peek();
    if (b == 0x11) return preamble();
    if (in.has(5) && std::memcmp(in.here(), "\0\0\0\x1B\x01", 5) == 0) {
      add(FrameKind::kExitPacketMode, 5, "exit packet mode");
      in.skip(5);
      return true;
    }
    if (in.startsWith("@EJL")) return ejlLine();
    if (b == kEsc) return escCommand();
    if (b == 0x0D) {
      add(FrameKind::kCarriageReturn, 1, "CR");
      in.skip(1);
      return true;
    }
    if (b == 0x0C) {
      add(FrameKind::kFormFeed, 1, "FF");
      in.skip(1);
      return true;
    }
    return fail("unexpected byte");
  }
};

}  // namespace

bool unpackBits(const uint8_t* data, size_t size, size_t expected, std::vector<uint8_t>* out, std::string* error) {
  out->clear();
  out->reserve(expected);
  size_t i = 0;
  while (i < size) {
    const uint8_t h = data[i++];
    if (h == 0x80) {
      *error = "packet header 80";
      return false;
    }
    if (h < 0x80) {
      const size_t n = h + 1u;
      if (n > size - i) {
        *error = "literal packet cut off";
        return false;
      }
      if (out->size() + n > expected) {
        *error = "row unpacks beyond its declared length";
        return false;
      }
      out->insert(out->end(), data + i, data + i + n);
      i += n;
    } else {
      if (i >= size) {
        *error = "repeat packet cut off";
        return false;
      }
      const size_t n = 257u - h;
      if (out->size() + n > expected) {
        *error = "row unpacks beyond its declared length";
        return false;
      }
      out->insert(out->end(), n, data[i++]);
    }
  }
  if (out->size() != expected) {
    *error = "row unpacks to fewer bytes than declared";
    return false;
  }
  return true;
}

bool decodeStream(const uint8_t* data, size_t size, Stream* out) {
  out->frames.clear();
  out->problems.clear();
  Decoder d{Reader(data, size), out};
  while (d.in.left() > 0)
    if (!d.next()) return false;
  return true;
}

bool decodeEachFrame(const uint8_t* data, size_t size, const std::function<bool(const Frame&)>& visit,
                     Problem* problem) {
  Stream one;
  Decoder d{Reader(data, size), &one};
  while (d.in.left() > 0) {
    if (!d.next()) {
      if (problem && !one.problems.empty()) *problem = one.problems.back();
      return false;
    }
    const bool more = one.frames.empty() || visit(one.frames.back());
    one.frames.clear();
    if (!more) return false;
  }
  return true;
}

bool decodeEachFrame(const ReadBytes& read, const std::function<bool(const Frame&)>& visit, Problem* problem) {
  // A window over the stream: refilled when less than a frame's worth is
  // left, and widened only for a frame larger than it (a hostile EJL line).
  constexpr size_t kWindow = size_t{1} << 20, kLow = size_t{1} << 18, kMaxWindow = size_t{1} << 26;
  std::vector<uint8_t> buffer(kWindow);
  size_t start = 0, end = 0;
  StreamOffset base = 0;
  bool eof = false, needMore = false;
  Stream one;
  Decoder d{Reader(nullptr, 0), &one};
  for (;;) {
    if (!eof && (needMore || end - start < kLow)) {
      if (needMore && start == 0 && end == buffer.size()) {
        if (buffer.size() >= kMaxWindow) {
          if (problem) *problem = one.problems.empty() ? Problem{base, "frame too large"} : one.problems.back();
          return false;
        }
        buffer.resize(buffer.size() * 2);
      }
      std::memmove(buffer.data(), buffer.data() + start, end - start);
      base += start;
      end -= start;
      start = 0;
      while (!eof && end < buffer.size()) {
        const long long got = read(buffer.data() + end, buffer.size() - end);
        if (got < 0) {
          if (problem) *problem = Problem{base + end, "the stream cannot be read"};
          return false;
        }
        if (got == 0) eof = true;
        end += static_cast<size_t>(got);
      }
      needMore = false;
    }
    if (start == end) return true;
    d.in = Reader(buffer.data() + start, end - start, base + start);
    d.partial = !eof;
    one.problems.clear();
    if (!d.next()) {
      if (!eof) {
        needMore = true;  // the frame may only be cut off by the window
        continue;
      }
      if (problem && !one.problems.empty()) *problem = one.problems.back();
      return false;
    }
    start += d.in.pos();
    const bool more = one.frames.empty() || visit(one.frames.back());
    one.frames.clear();
    if (!more) return false;
  }
}

ReadBytes readFromFile(std::FILE* file) {
  return [file](uint8_t* into, size_t max) -> long long {
    const size_t n = std::fread(into, 1, max, file);
    return n == 0 && std::ferror(file) ? -1 : static_cast<long long>(n);
  };
}

int planeOfColorCode(int code) {
  for (int j = 0; j < 8; ++j)
    if (kColorCodes[j] == code) return j;
  return -1;
}

const char* inkName(int plane) {
  return plane >= 0 && plane < 8 ? kInkNames[plane] : "?";
}

}  // namespace escp
