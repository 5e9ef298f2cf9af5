// The platform's imaging component, started on first use in the calling thread.
#include "korva/draw/wic_codec.h"

#include <windows.h>

#include <objidl.h>
#include <wincodec.h>

#include <stdlib.h>
#include <string.h>

static IWICImagingFactory* factory() {
    static IWICImagingFactory* made = nullptr;
    if (made != nullptr) return made;
    // Already started by the program in another mode is fine: the component works in either.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&made))))
        made = nullptr;
    return made;
}

// The first frame, converted to premultiplied BGRA.
static const char* open_decoder(IWICBitmapDecoder* decoder, WicPicture* out) {
    IWICBitmapFrameDecode* frame = nullptr;
    HRESULT hr = decoder->GetFrame(0, &frame);
    decoder->Release();
    if (FAILED(hr)) return "not a picture the platform can read";
    IWICBitmapSource* converted = nullptr;
    hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame, &converted);
    frame->Release();
    if (FAILED(hr)) return "not a picture the platform can read";
    UINT width = 0, height = 0;
    converted->GetSize(&width, &height);
    out->source = converted;
    out->width = width;
    out->height = height;
    return nullptr;
}

const char* wic_open_file(const char* path, WicPicture* out) {
    *out = WicPicture{nullptr, 0, 0};
    IWICImagingFactory* f = factory();
    if (f == nullptr) return "the platform's imaging component is missing";
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return "no such file";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "a directory";
    int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0) return "no such file";
    wchar_t* wide = static_cast<wchar_t*>(malloc(static_cast<size_t>(length) * sizeof(wchar_t)));
    if (wide == nullptr) return "not enough memory";
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, length);
    IWICBitmapDecoder* decoder = nullptr;
    HRESULT hr = f->CreateDecoderFromFilename(wide, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    free(wide);
    if (FAILED(hr)) return "not a picture the platform can read";
    return open_decoder(decoder, out);
}

const char* wic_open_memory(const uint8_t* bytes, size_t size, WicPicture* out) {
    *out = WicPicture{nullptr, 0, 0};
    IWICImagingFactory* f = factory();
    if (f == nullptr) return "the platform's imaging component is missing";
    if (size > 0xFFFFFFFFu) return "too large";
    IWICStream* stream = nullptr;
    if (FAILED(f->CreateStream(&stream))) return "not enough memory";
    HRESULT hr = stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size));
    IWICBitmapDecoder* decoder = nullptr;
    if (SUCCEEDED(hr)) hr = f->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnLoad, &decoder);
    // The decoder holds the stream as long as it needs it.
    stream->Release();
    if (FAILED(hr)) return "not a picture the platform can read";
    return open_decoder(decoder, out);
}

bool wic_copy_premultiplied(const WicPicture& picture, void* pixels, uint32_t stride) {
    IWICBitmapSource* source = static_cast<IWICBitmapSource*>(picture.source);
    if (source == nullptr) return false;
    uint64_t size = uint64_t{stride} * picture.height;
    if (size > 0xFFFFFFFFu) return false;
    return SUCCEEDED(source->CopyPixels(nullptr, stride, static_cast<UINT>(size), static_cast<BYTE*>(pixels)));
}

void wic_close(WicPicture* picture) {
    if (picture->source != nullptr) static_cast<IWICBitmapSource*>(picture->source)->Release();
    *picture = WicPicture{nullptr, 0, 0};
}

bool wic_encode_png(const void* rows, uint32_t width, uint32_t height, uint32_t stride, uint8_t** bytes,
                    size_t* size) {
    *bytes = nullptr;
    *size = 0;
    IWICImagingFactory* f = factory();
    if (f == nullptr) return false;
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return false;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    bool ok = SUCCEEDED(f->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
              SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
              SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
              IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
              SUCCEEDED(frame->WritePixels(height, stride, stride * height,
                                           static_cast<BYTE*>(const_cast<void*>(rows)))) &&
              SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    if (frame != nullptr) frame->Release();
    if (encoder != nullptr) encoder->Release();
    HGLOBAL block = nullptr;
    if (ok && SUCCEEDED(GetHGlobalFromStream(stream, &block))) {
        STATSTG stat{};
        ok = SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
        size_t length = ok ? static_cast<size_t>(stat.cbSize.QuadPart) : 0;
        const void* data = GlobalLock(block);
        *bytes = ok && data != nullptr ? static_cast<uint8_t*>(malloc(length)) : nullptr;
        if (*bytes != nullptr) {
            memcpy(*bytes, data, length);
            *size = length;
        }
        if (data != nullptr) GlobalUnlock(block);
        ok = *bytes != nullptr;
    }
    stream->Release();
    return ok;
}

void wic_free_bytes(uint8_t* bytes) {
    free(bytes);
}
