// Frame capture files (.vxc): one graphics task's console memories, for replay and reading
#include "capture/capture_file.h"

#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "state/rdp_reg.h"

namespace {

// A capture is at most the header and the deflated memories, far below this.
constexpr size_t kMaxCaptureBytes = 16u << 20;

void put_u32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Header offsets.
constexpr size_t kVersionAt = 8, kHeaderBytesAt = 12, kFamilyAt = 16, kStartAt = 20;
constexpr size_t kViStatusAt = 24, kRegistersAt = 28, kRomHeaderAt = 112, kRdramBytesAt = 176;
constexpr size_t kDmemBytesAt = 180, kPayloadBytesAt = 184;

// RDRAM and DMEM deflated one after the other into one stream.
bool deflate_memories(const uint8_t* rdram, const uint8_t* dmem, std::vector<uint8_t>* out) {
    z_stream z{};
    if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) return false;
    out->resize(deflateBound(&z, kCaptureRdramBytes + kCaptureDmemBytes));
    z.next_out  = out->data();
    z.avail_out = static_cast<uInt>(out->size());
    z.next_in   = const_cast<Bytef*>(rdram);
    z.avail_in  = kCaptureRdramBytes;
    int rc      = deflate(&z, Z_NO_FLUSH);
    if (rc == Z_OK) {
        z.next_in  = const_cast<Bytef*>(dmem);
        z.avail_in = kCaptureDmemBytes;
        rc         = deflate(&z, Z_FINISH);
    }
    out->resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

// Exactly rdram.size() + dmem.size() bytes, the end of the stream, and no bytes after it.
bool inflate_memories(const uint8_t* data, size_t size, Capture* c) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in   = const_cast<Bytef*>(data);
    z.avail_in  = static_cast<uInt>(size);
    z.next_out  = c->rdram.data();
    z.avail_out = static_cast<uInt>(c->rdram.size());
    int rc      = inflate(&z, Z_SYNC_FLUSH);
    if (rc == Z_OK && z.avail_out == 0) {
        z.next_out  = c->dmem.data();
        z.avail_out = static_cast<uInt>(c->dmem.size());
        rc          = inflate(&z, Z_FINISH);
    }
    const bool whole = rc == Z_STREAM_END && z.avail_out == 0 && z.avail_in == 0;
    inflateEnd(&z);
    return whole;
}

} // namespace

bool write_capture(const std::string& path, const CaptureHeader& h, const uint8_t* rdram,
                   const uint8_t* dmem, std::string* error) {
    std::vector<uint8_t> payload;
    if (!deflate_memories(rdram, dmem, &payload)) {
        *error = "compression failed";
        return false;
    }
    uint8_t head[kCaptureHeaderBytes]{};
    std::memcpy(head, kCaptureMagic, sizeof kCaptureMagic);
    put_u32(head + kVersionAt, kCaptureVersion);
    put_u32(head + kHeaderBytesAt, kCaptureHeaderBytes);
    put_u32(head + kFamilyAt, h.family);
    put_u32(head + kStartAt, h.dlist_start);
    put_u32(head + kViStatusAt, h.vi_status);
    for (int i = 0; i < kCaptureRegisters; ++i)
        put_u32(head + kRegistersAt + 4 * i, h.registers[i]);
    std::memcpy(head + kRomHeaderAt, h.rom_header, sizeof h.rom_header);
    put_u32(head + kRdramBytesAt, kCaptureRdramBytes);
    put_u32(head + kDmemBytesAt, kCaptureDmemBytes);
    put_u32(head + kPayloadBytesAt, static_cast<uint32_t>(payload.size()));

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(head, 1, sizeof head, f) == sizeof head &&
              std::fwrite(payload.data(), 1, payload.size(), f) == payload.size();
    if (!ok) *error = std::strerror(errno);
    if (std::fclose(f) != 0 && ok) {
        ok     = false;
        *error = std::strerror(errno);
    }
    if (!ok) std::remove(path.c_str()); // never leave half a capture behind
    return ok;
}

bool parse_capture(const uint8_t* data, size_t size, Capture* c, std::string* error) {
    if (size < 16 || std::memcmp(data, kCaptureMagic, sizeof kCaptureMagic) != 0) {
        *error = "not a frame capture (no capture header)";
        return false;
    }
    const uint32_t version = get_u32(data + kVersionAt);
    if (version > kCaptureVersion) {
        *error = "capture format version " + std::to_string(version) +
                 " is newer than this build reads (" + std::to_string(kCaptureVersion) + ")";
        return false;
    }
    const uint32_t header_bytes = get_u32(data + kHeaderBytesAt);
    if (version == 0 || header_bytes != kCaptureHeaderBytes) {
        *error = "corrupt capture header";
        return false;
    }
    if (size < kCaptureHeaderBytes) {
        *error = "truncated capture (the header is cut short)";
        return false;
    }
    CaptureHeader& h = c->header;
    h.version        = version;
    h.family         = get_u32(data + kFamilyAt);
    h.dlist_start    = get_u32(data + kStartAt);
    h.vi_status      = get_u32(data + kViStatusAt);
    for (int i = 0; i < kCaptureRegisters; ++i)
        h.registers[i] = get_u32(data + kRegistersAt + 4 * i);
    std::memcpy(h.rom_header, data + kRomHeaderAt, sizeof h.rom_header);
    if (h.family >= static_cast<uint32_t>(kUcodeFamilies)) {
        *error = "corrupt capture header (microcode family " + std::to_string(h.family) + ")";
        return false;
    }
    if (get_u32(data + kRdramBytesAt) != kCaptureRdramBytes ||
        get_u32(data + kDmemBytesAt) != kCaptureDmemBytes) {
        *error = "corrupt capture header (memory sizes)";
        return false;
    }
    const uint32_t payload = get_u32(data + kPayloadBytesAt);
    if (payload > size - kCaptureHeaderBytes) {
        *error = "truncated capture (" + std::to_string(size - kCaptureHeaderBytes) + " of " +
                 std::to_string(payload) + " payload bytes)";
        return false;
    }
    if (payload < size - kCaptureHeaderBytes) {
        *error = "corrupt capture (bytes after the payload)";
        return false;
    }
    c->rdram.assign(kCaptureRdramBytes, 0);
    c->dmem.assign(kCaptureDmemBytes, 0);
    if (!inflate_memories(data + kCaptureHeaderBytes, payload, c)) {
        *error = "corrupt capture (the compressed memories do not unpack)";
        return false;
    }
    return true;
}

bool load_capture(const std::string& path, Capture* c, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && bytes.size() <= kMaxCaptureBytes)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool read_error = std::ferror(f);
    std::fclose(f);
    if (read_error) {
        *error = path + ": read error";
        return false;
    }
    if (bytes.size() > kMaxCaptureBytes) {
        *error = path + ": too large to be a frame capture";
        return false;
    }
    if (!parse_capture(bytes.data(), bytes.size(), c, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
