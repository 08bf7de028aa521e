#include "plugin/Exports.h"

#include "platform/ObjectHeap.h"
#include "plugin/FormatTable.h"
#include "plugin/ResultCode.h"
#include "stream/StreamFactories.h"

namespace {

constexpr int kInfoCount = 2 + 2 * kFormatCount;
constexpr std::int32_t kIsSupportedWindow = 2048;

const char kInterfaceVersion[] = "00IN";
const char kTitle[] = "Orvane import filter for GP run-length and KMLZ compressed pictures";

enum InputKind : unsigned int { FromFile = 0, FromMemory = 1 };

// Offers the stream to each format in table order, rewinding between attempts, until an answer
// other than refusal comes back; releases the stream on every path. noDecoder is the answer when a
// row's decoder cannot be made.
template <class Operation>
int Probe(ByteStream* stream, int refusal, int noDecoder, Operation operation) {
    const std::int32_t position = stream->Seek(0, ByteStream::FromCurrent);
    int result = refusal;
    for (const FormatEntry& row : FormatTable) {
        PictureDecoder* decoder = row.factory();
        if (decoder == nullptr) {
            result = noDecoder;
            break;
        }
        result = operation(*decoder);
        FreeObject(decoder);
        if (result != refusal) break;
        stream->Seek(position, ByteStream::FromStart);
    }
    stream->Release();
    return result;
}

// The stream that GetPictureInfo and GetPicture read, or none for an unknown input kind or when it
// cannot be made.
ByteStream* OpenInput(LPCSTR input, std::int32_t length, unsigned int flag) {
    switch (flag & 3) {
    case FromFile:
        return OpenFileStream(input, length);
    case FromMemory:
        return WrapMemory(input, length);
    default:
        return nullptr;
    }
}

}  // namespace

extern "C" {

int WINAPI GetPluginInfo(int infoNumber, LPSTR buffer, int bufferLength) {
    if (infoNumber < 0 || infoNumber >= kInfoCount || bufferLength < 1) return 0;
    const char* text;
    if (infoNumber == 0) {
        text = kInterfaceVersion;
    } else if (infoNumber == 1) {
        text = kTitle;
    } else {
        const FormatEntry& row = FormatTable[(infoNumber - 2) / 2];
        text = infoNumber % 2 == 0 ? row.extension : row.description;
    }
    lstrcpynA(buffer, text, bufferLength);
    return lstrlenA(buffer) + 1;
}

int WINAPI IsSupported(LPCSTR fileName, ULONG_PTR fileOrData) {
    // Handles are small numbers; an address always has some of its upper 16 bits set.
    ByteStream* stream = (fileOrData >> 16) == 0
                             ? WrapFileHandle(reinterpret_cast<HANDLE>(fileOrData))
                             : WrapMemory(reinterpret_cast<const void*>(fileOrData), kIsSupportedWindow);
    if (stream == nullptr) return 0;
    return Probe(stream, 0, 0,
                 [&](PictureDecoder& decoder) { return decoder.IsSupported(fileName, stream); });
}

int WINAPI GetPictureInfo(LPCSTR input, std::int32_t length, unsigned int flag, PictureInfo* info) {
    ByteStream* stream = OpenInput(input, length, flag);
    if (stream == nullptr) return ResultInputError;
    return Probe(stream, ResultUnsupported, ResultInputError,
                 [&](PictureDecoder& decoder) { return decoder.GetPictureInfo(stream, info); });
}

int WINAPI GetPicture(LPCSTR input, std::int32_t length, unsigned int flag, HLOCAL* infoBlockOut,
                      HLOCAL* pixelBlockOut, ProgressCallback, std::int32_t) {
    ByteStream* stream = OpenInput(input, length, flag);
    if (stream == nullptr) return ResultInputError;
    // The host's callback is never called: decoding reports no progress and cannot be cancelled.
    return Probe(stream, ResultUnsupported, ResultInputError, [&](PictureDecoder& decoder) {
        return decoder.GetPicture(stream, pixelBlockOut, infoBlockOut, nullptr, 0);
    });
}

int WINAPI GetPreview(LPCSTR, std::int32_t, unsigned int, HLOCAL*, HLOCAL*, ProgressCallback,
                      std::int32_t) {
    return ResultNotImplemented;
}
}
