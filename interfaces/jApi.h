// Linkage of the maker's libraries: plain C names, default calling convention,
// exported from their DLLs (shared objects on the native build).
#pragma once

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define J_EXPORT __declspec(dllexport)
#define J_IMPORT __declspec(dllimport)
#else
#define J_EXPORT __attribute__((visibility("default")))
#define J_IMPORT
#endif

#ifdef __cplusplus
#define J_EXTERN_C extern "C"
#else
#define J_EXTERN_C
#endif

// The shipping build is 32-bit Windows: fixed layouts are checked there.
#if defined(_WIN32) && !defined(_WIN64)
#define J_LAYOUT_CHECKED 1
#else
#define J_LAYOUT_CHECKED 0
#endif

// Window-system handles without <windows.h>: the same types as HWND, HDC, ...
// when windows.h is included, opaque elsewhere.
struct HWND__;
struct HDC__;
struct HBITMAP__;
struct HMENU__;
typedef struct HWND__* jHWND;
typedef struct HDC__* jHDC;
typedef struct HBITMAP__* jHBITMAP;
typedef struct HMENU__* jHMENU;

// A file opened through the platform layer (platform/file.h).
typedef void* jFILE;

// A colour value with red in the lowest byte, then green, then blue.
typedef uint32_t jCOLOR;
#define J_RGB(r, g, b) ((jCOLOR)(uint8_t)(r) | ((jCOLOR)(uint8_t)(g) << 8) | ((jCOLOR)(uint8_t)(b) << 16))
