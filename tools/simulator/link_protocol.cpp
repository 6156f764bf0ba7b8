#include "link_protocol.h"

#include "little_endian.h"

#include <cstring>

namespace simlink {

FrameWriter::FrameWriter(unsigned char* buffer, std::size_t capacity, std::uint32_t type)
    : buffer_(buffer), capacity_(capacity), size_(kFrameHeaderSize)
{
    if (capacity_ < kFrameHeaderSize) {
        overflow_ = true;
        return;
    }
    PutU32(buffer_ + kLengthFieldSize, type);
}

void FrameWriter::U32(std::uint32_t value)
{
    if (overflow_ || capacity_ - size_ < 4) {
        overflow_ = true;
        return;
    }
    PutU32(buffer_ + size_, value);
    size_ += 4;
}

void FrameWriter::I32(std::int32_t value)
{
    U32(static_cast<std::uint32_t>(value));
}

void FrameWriter::F32(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    U32(bits);
}

void FrameWriter::Text(const char* text)
{
    const std::size_t length = std::strlen(text);
    if (length > kMaxFrameSize) {
        overflow_ = true;
        return;
    }
    U32(static_cast<std::uint32_t>(length));
    Bytes(reinterpret_cast<const unsigned char*>(text), length);
}

void FrameWriter::Bytes(const unsigned char* data, std::size_t size)
{
    if (overflow_ || capacity_ - size_ < size) {
        overflow_ = true;
        return;
    }
    if (size != 0)
        std::memcpy(buffer_ + size_, data, size);
    size_ += size;
}

std::size_t FrameWriter::Finish()
{
    if (overflow_ || size_ - kLengthFieldSize > kMaxFrameSize)
        return 0;
    PutU32(buffer_, static_cast<std::uint32_t>(size_ - kLengthFieldSize));
    return size_;
}

bool FrameReader::U32(std::uint32_t& value)
{
    if (!ok_ || size_ - position_ < 4)
        return ok_ = false;
    value = LoadU32(fields_ + position_);
    position_ += 4;
    return true;
}

bool FrameReader::I32(std::int32_t& value)
{
    std::uint32_t bits = 0;
    if (!U32(bits))
        return false;
    value = static_cast<std::int32_t>(bits);
    return true;
}

bool FrameReader::F32(float& value)
{
    std::uint32_t bits = 0;
    if (!U32(bits))
        return false;
    std::memcpy(&value, &bits, sizeof(value));
    return true;
}

bool FrameReader::Text(std::string& text)
{
    std::uint32_t length = 0;
    if (!U32(length))
        return false;
    if (size_ - position_ < length)
        return ok_ = false;
    text.assign(reinterpret_cast<const char*>(fields_ + position_), length);
    position_ += length;
    return true;
}

void FrameAssembler::Append(const unsigned char* data, std::size_t size)
{
    // Drops what earlier frames used before the buffer grows again.
    if (start_ != 0) {
        stream_.erase(stream_.begin(), stream_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    stream_.insert(stream_.end(), data, data + size);
}

FrameStatus FrameAssembler::Next(std::uint32_t& type, std::vector<unsigned char>& fields)
{
    const std::size_t available = stream_.size() - start_;
    if (available < kLengthFieldSize)
        return FrameStatus::Incomplete;
    const unsigned char* frame = stream_.data() + start_;
    const std::uint32_t length = LoadU32(frame);
    if (length < kTypeFieldSize || length > kMaxFrameSize)
        return FrameStatus::Malformed;
    if (available - kLengthFieldSize < length)
        return FrameStatus::Incomplete;
    type = LoadU32(frame + kLengthFieldSize);
    fields.assign(frame + kFrameHeaderSize, frame + kLengthFieldSize + length);
    start_ += kLengthFieldSize + length;
    return FrameStatus::Complete;
}

} // namespace simlink
