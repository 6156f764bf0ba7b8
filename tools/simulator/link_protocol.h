#pragma once

// The loopback link between the SimConnect stand-in and the simulator
// emulator: a TCP byte stream of frames. Every integer is little-endian and
// written byte by byte.
//
//   frame:  u32 length of what follows (type and fields), u32 type, fields
//   text:   u32 byte count, then the bytes (no NUL)
//   float:  the IEEE 754 bits as a u32
//
// Stand-in to emulator:
//   kOpen                   text client name
//   kAddToDataDefinition    u32 definition, text datum name, text units,
//                           i32 datum type, f32 epsilon, u32 datum ID
//   kSubscribeToSystemEvent u32 client event, text system event name
//   kRequestData            u32 request, u32 definition, u32 radius, i32 object type
//   kClose                  nothing
//   kDispatchReport         u32 dispatch calls on this connection so far (sent
//                           by a dispatch call, at most twice a second)
// Emulator to stand-in:
//   kAccepted               nothing (answers kOpen; the open acknowledgement
//                           record follows as the first kRecord)
//   kRefused                text reason (answers kOpen; the emulator then closes)
//   kRecord                 one record in SimConnect's receive layout, to the frame's end

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace simlink {

constexpr std::uint32_t kOpen = 1;
constexpr std::uint32_t kAddToDataDefinition = 2;
constexpr std::uint32_t kSubscribeToSystemEvent = 3;
constexpr std::uint32_t kRequestData = 4;
constexpr std::uint32_t kClose = 5;
constexpr std::uint32_t kDispatchReport = 6;
constexpr std::uint32_t kAccepted = 0x101;
constexpr std::uint32_t kRefused = 0x102;
constexpr std::uint32_t kRecord = 0x103;

constexpr std::size_t kLengthFieldSize = 4;
constexpr std::size_t kTypeFieldSize = 4;
constexpr std::size_t kFrameHeaderSize = kLengthFieldSize + kTypeFieldSize;
// Frames longer than this are malformed; real ones are a few hundred bytes.
constexpr std::size_t kMaxFrameSize = 65536;

// Writes one frame into a caller-owned buffer. Any field that does not fit
// makes the whole frame fail: Finish then returns 0.
class FrameWriter {
public:
    FrameWriter(unsigned char* buffer, std::size_t capacity, std::uint32_t type);
    void U32(std::uint32_t value);
    void I32(std::int32_t value);
    void F32(float value);
    void Text(const char* text);
    void Bytes(const unsigned char* data, std::size_t size);
    // Writes the length field; returns the frame's total size, or 0.
    std::size_t Finish();

private:
    unsigned char* buffer_;
    std::size_t capacity_;
    std::size_t size_;
    bool overflow_ = false;
};

// Reads the fields of one frame body (the bytes after the type). A read past
// the end fails and leaves the reader failed; so does a text that runs past it.
class FrameReader {
public:
    FrameReader(const unsigned char* fields, std::size_t size) : fields_(fields), size_(size) {}
    bool U32(std::uint32_t& value);
    bool I32(std::int32_t& value);
    bool F32(float& value);
    bool Text(std::string& text);
    bool AtEnd() const { return ok_ && position_ == size_; }
    bool Ok() const { return ok_; }

private:
    const unsigned char* fields_;
    std::size_t size_;
    std::size_t position_ = 0;
    bool ok_ = true;
};

enum class FrameStatus { Complete, Incomplete, Malformed };

// Splits the received byte stream into frames.
class FrameAssembler {
public:
    void Append(const unsigned char* data, std::size_t size);
    // Takes the next complete frame out of the stream: its type and its fields.
    // Malformed (a length below the type field or above kMaxFrameSize) is final.
    FrameStatus Next(std::uint32_t& type, std::vector<unsigned char>& fields);

private:
    std::vector<unsigned char> stream_;
    std::size_t start_ = 0;
};

} // namespace simlink
