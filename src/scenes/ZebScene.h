/* The scene interface of the Zebrane scene libraries (Marquella, Sucrelle, Cinevra, Braisette,
 * Libavo, Platero), for hosts written in C or C++.
 *
 * A host loads a library, then calls every export from the thread that loaded it, a thread that runs
 * a message loop (the scene window and the movie's commands are delivered through it). It destroys
 * the scene (SceneDestroy) before it unloads the library, and never calls SceneDestroy or unloads the
 * library from inside its handling of WM_SCENE_ENDED (0x40F, sent to its window titled "ZebAdvert").
 *
 * All seven functions use the standard calling convention of the Windows API and are exported by
 * these undecorated names and at these ordinals:
 *   1 SceneScreenshot  2 SceneAnimationsStop  3 SceneAnimationsStart  4 SceneDestroy
 *   5 SceneDefaultParameters  6 SceneParameters  7 SceneCreate
 * No failure of a library ever reaches the host: each export catches it and writes
 * "<Module>.dll: AV in <export>" to the library's log. */
#ifndef ZEB_SCENE_H
#define ZEB_SCENE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZEB_WM_SCENE_ENDED 0x40F

/* The picture that SceneScreenshot returns: an object whose first member points to its functions.
 * The host owns it and frees it with Free; nothing else of the library refers to it. Its pixels are
 * Width() * Height() values of 32 bits, 0xAARRGGBB with the colours premultiplied by alpha, rows top
 * first without padding (the layout of a top-down 32-bit DIB); Pixels() is null for a 0 x 0 picture.
 * The functions stay usable until the library is unloaded. */
typedef struct ZebSceneBitmap ZebSceneBitmap;
typedef struct ZebSceneBitmapFunctions {
  void(__stdcall* Free)(ZebSceneBitmap* self);
  int(__stdcall* Width)(const ZebSceneBitmap* self);
  int(__stdcall* Height)(const ZebSceneBitmap* self);
  const DWORD*(__stdcall* Pixels)(const ZebSceneBitmap* self);
} ZebSceneBitmapFunctions;
struct ZebSceneBitmap {
  const ZebSceneBitmapFunctions* functions;
};

#ifndef ZEB_SCENE_API
#define ZEB_SCENE_API __declspec(dllimport)
#endif

/* A new picture of the scene: no scene gives 0 x 0, a hidden scene its 690 x 758 background, a shown
 * one the movie's current frame. Null when memory runs out. */
ZEB_SCENE_API ZebSceneBitmap* __stdcall SceneScreenshot(void);
/* Stops the movie (back to its first frame) and hides the window. Nothing without a scene. */
ZEB_SCENE_API void __stdcall SceneAnimationsStop(void);
/* Shows the window top-most and plays the movie; the flag has no effect. Nothing without a scene. */
ZEB_SCENE_API void __stdcall SceneAnimationsStart(BOOL flag);
/* Frees the scene. Nothing without a scene. */
ZEB_SCENE_API void __stdcall SceneDestroy(void);
/* An example scene parameters text, the same in every library. It belongs to the library and stays
 * valid until the library is unloaded; the host never frees it. */
ZEB_SCENE_API const wchar_t* __stdcall SceneDefaultParameters(void);
/* Hands the scene its parameters and the menu (both read during the call only); creates the scene
 * when there is none. */
ZEB_SCENE_API void __stdcall SceneParameters(const wchar_t* parameters, const wchar_t* menu);
/* Creates the hidden scene window titled "ZebAnimatedScene"; nothing when a scene exists. */
ZEB_SCENE_API void __stdcall SceneCreate(void);

/* The same functions as pointer types, for GetProcAddress. */
typedef ZebSceneBitmap*(__stdcall* ZebSceneScreenshotFn)(void);
typedef void(__stdcall* ZebSceneAnimationsStopFn)(void);
typedef void(__stdcall* ZebSceneAnimationsStartFn)(BOOL flag);
typedef void(__stdcall* ZebSceneDestroyFn)(void);
typedef const wchar_t*(__stdcall* ZebSceneDefaultParametersFn)(void);
typedef void(__stdcall* ZebSceneParametersFn)(const wchar_t* parameters, const wchar_t* menu);
typedef void(__stdcall* ZebSceneCreateFn)(void);

#ifdef __cplusplus
}
#endif

#endif
