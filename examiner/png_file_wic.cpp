#include "examiner/png_file.h"

#include <objbase.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdio>

using Microsoft::WRL::ComPtr;

namespace {

// COM for the length of one encoding; a thread that has it already keeps it.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Copies the encoded file out of the memory stream, whose position is its end.
HRESULT ReadAll(IStream& stream, std::vector<uint8_t>& bytes) {
    ULARGE_INTEGER size{};
    HRESULT result = stream.Seek({}, STREAM_SEEK_CUR, &size);
    if (SUCCEEDED(result)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        result = stream.Seek({}, STREAM_SEEK_SET, nullptr);
    }
    ULONG read = 0;
    if (SUCCEEDED(result)) result = stream.Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    if (SUCCEEDED(result) && read != bytes.size()) result = E_FAIL;
    return result;
}

}  // namespace

std::optional<std::string> EncodePalettePng(int width, int height, std::span<const uint8_t> palette,
                                            std::span<const uint8_t> pixels, std::vector<uint8_t>& png) {
    const ComScope com;
    std::vector<WICColor> colours;
    for (size_t i = 0; i + 2 < palette.size(); i += 3)
        colours.push_back(0xff000000u | palette[i] << 16 | palette[i + 1] << 8 | palette[i + 2]);

    ComPtr<IWICImagingFactory> factory;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> frameOptions;
    ComPtr<IWICPalette> wicPalette;
    WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
    if (SUCCEEDED(result)) result = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(result)) result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(result)) result = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(result)) result = encoder->CreateNewFrame(&frame, &frameOptions);
    if (SUCCEEDED(result)) result = frame->Initialize(frameOptions.Get());
    if (SUCCEEDED(result)) result = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    if (SUCCEEDED(result)) result = frame->SetPixelFormat(&format);
    // The encoder may answer with another format than the one asked for.
    if (SUCCEEDED(result) && format != GUID_WICPixelFormat8bppIndexed) result = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(result)) result = factory->CreatePalette(&wicPalette);
    if (SUCCEEDED(result)) result = wicPalette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size()));
    if (SUCCEEDED(result)) result = frame->SetPalette(wicPalette.Get());
    if (SUCCEEDED(result))
        result = frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width),
                                    static_cast<UINT>(pixels.size()), const_cast<BYTE*>(pixels.data()));
    if (SUCCEEDED(result)) result = frame->Commit();
    if (SUCCEEDED(result)) result = encoder->Commit();
    if (SUCCEEDED(result)) result = ReadAll(*stream.Get(), png);
    if (SUCCEEDED(result)) return std::nullopt;

    char text[64];
    std::snprintf(text, sizeof text, "the Windows Imaging Component failed with 0x%08lx",
                  static_cast<unsigned long>(result));
    return text;
}
