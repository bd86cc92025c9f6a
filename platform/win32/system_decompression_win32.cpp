// ntdll's compression service, looked up by name in the already loaded
// module on every call (it is not part of the documented import set, and
// Windows 7 and Wine lack RtlDecompressBufferEx).
#include "platform/system_decompression.h"

#include <algorithm>
#include <vector>

#include "platform/win32/win32_common.h"

namespace tidewell {

namespace {

constexpr USHORT compressionFormatXpressHuff = 4;
constexpr ULONG workSpaceLimit = 64u * 1024 * 1024;

using GetWorkSpaceSizeFn = LONG(WINAPI*)(USHORT format, PULONG bufferWorkSpace,
                                         PULONG fragmentWorkSpace);
using DecompressBufferExFn = LONG(WINAPI*)(USHORT format, PUCHAR output, ULONG outputSize,
                                           PUCHAR input, ULONG inputSize, PULONG finalSize,
                                           PVOID workSpace);

} // namespace

SystemDecompression systemDecompressXpressHuffman(const std::uint8_t* compressed,
                                                  std::size_t compressedSize, std::uint8_t* output,
                                                  std::size_t outputSize, std::size_t& finalSize) {
    finalSize = 0;
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return SystemDecompression::Unavailable;
    }
    const auto getWorkSpaceSize = reinterpret_cast<GetWorkSpaceSizeFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetCompressionWorkSpaceSize")));
    const auto decompressBufferEx = reinterpret_cast<DecompressBufferExFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlDecompressBufferEx")));
    if (getWorkSpaceSize == nullptr || decompressBufferEx == nullptr) {
        return SystemDecompression::Unavailable;
    }
    if (compressedSize > 0xFFFFFFFFu || outputSize > 0xFFFFFFFFu) {
        return SystemDecompression::Failed;
    }
    ULONG bufferWorkSpace = 0;
    ULONG fragmentWorkSpace = 0;
    if (getWorkSpaceSize(compressionFormatXpressHuff, &bufferWorkSpace, &fragmentWorkSpace) != 0) {
        return SystemDecompression::Failed;
    }
    // Decompression is documented to need the fragment work space; take the
    // larger of the two so that neither can be too small.
    if (bufferWorkSpace == 0 || bufferWorkSpace > workSpaceLimit ||
        fragmentWorkSpace > workSpaceLimit) {
        return SystemDecompression::Failed;
    }
    std::vector<std::uint8_t> workSpace(std::max(bufferWorkSpace, fragmentWorkSpace), 0);
    ULONG produced = 0;
    const LONG status =
        decompressBufferEx(compressionFormatXpressHuff, output, static_cast<ULONG>(outputSize),
                           const_cast<PUCHAR>(compressed), static_cast<ULONG>(compressedSize),
                           &produced, workSpace.data());
    if (status != 0) {
        return SystemDecompression::Failed;
    }
    finalSize = produced;
    return SystemDecompression::Succeeded;
}

} // namespace tidewell
