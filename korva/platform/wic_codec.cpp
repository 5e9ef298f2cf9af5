// The platform's imaging component: made on first use in the calling thread, ended by wic_shutdown.
#include "korva/platform/wic_codec.h"
#include "korva/platform/user_file.h"

#include <windows.h>

#include <objidl.h>
#include <wincodec.h>

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// The factory, made on first use and kept until wic_shutdown. The thread's COM apartment is the
// program's own when it has one: a program in the multi-threaded apartment keeps it (the
// component works in either), and only an apartment started here is ended here.
static IWICImagingFactory* made_factory = nullptr;
static bool apartment_started = false;

static IWICImagingFactory* factory() {
    if (made_factory != nullptr) return made_factory;
    if (!apartment_started) {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // S_FALSE: already started in this mode, but counted all the same and to be ended once.
        apartment_started = hr == S_OK || hr == S_FALSE;
    }
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&made_factory))))
        made_factory = nullptr;
    return made_factory;
}

void wic_shutdown() {
    if (made_factory != nullptr) made_factory->Release();
    made_factory = nullptr;
    if (apartment_started) CoUninitialize();
    apartment_started = false;
}

// What a failure of the component means for the person who gave the file.
static const char* reason_of(HRESULT hr) {
    switch (hr) {
    case E_OUTOFMEMORY:
        return "not enough memory";
    case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
    case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
        return WIC_NO_SUCH_FILE;
    case E_ACCESSDENIED:
    case HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION):
        return "the file cannot be read (no permission, or another program holds it)";
    case WINCODEC_ERR_COMPONENTNOTFOUND:
    case WINCODEC_ERR_UNKNOWNIMAGEFORMAT:
        return "not a picture the platform can read";
    default:
        return "the picture's data is damaged or cut short";
    }
}

// The first frame, converted to premultiplied BGRA.
static const char* open_decoder(IWICBitmapDecoder* decoder, WicPicture* out) {
    IWICBitmapFrameDecode* frame = nullptr;
    HRESULT hr = decoder->GetFrame(0, &frame);
    decoder->Release();
    if (FAILED(hr)) return reason_of(hr);
    IWICBitmapSource* converted = nullptr;
    hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame, &converted);
    frame->Release();
    if (FAILED(hr)) return reason_of(hr);
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
    wchar_t* wide = user_file_path(path);
    if (wide == nullptr) return "the name cannot be read as a path";
    if (const char* why = user_file_problem(wide)) {
        free(wide);
        return why == USER_FILE_MISSING ? WIC_NO_SUCH_FILE : why;
    }
    IWICBitmapDecoder* decoder = nullptr;
    HRESULT hr = f->CreateDecoderFromFilename(wide, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    free(wide);
    if (FAILED(hr)) return reason_of(hr);
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
    if (FAILED(hr)) return reason_of(hr);
    return open_decoder(decoder, out);
}

const char* wic_copy_premultiplied(const WicPicture& picture, void* pixels, uint32_t stride) {
    IWICBitmapSource* source = static_cast<IWICBitmapSource*>(picture.source);
    if (source == nullptr) return "not a picture the platform can read";
    uint64_t size = uint64_t{stride} * picture.height;
    if (size > 0xFFFFFFFFu) return "too large";
    HRESULT hr = source->CopyPixels(nullptr, stride, static_cast<UINT>(size), static_cast<BYTE*>(pixels));
    return FAILED(hr) ? reason_of(hr) : nullptr;
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

bool png_file_name(const char* path) {
    const size_t length = strlen(path);
    return length >= 4 && lstrcmpiA(path + length - 4, ".png") == 0;
}
