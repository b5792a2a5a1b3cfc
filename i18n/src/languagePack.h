#pragma once
// What a language pack exports. A pack is a shared object named
// <program base name>.<language id>.so, beside the program, in one of its ancestors, or in
// LanguagePacks/<language id>/ below one of them.

#ifdef __cplusplus
extern "C" {
#endif

// Marks the library as a language pack; only its presence matters.
const char* get_lang_id(void);

// Copies the UTF-8 text of string `id` into `buffer`, cut to bufferSize - 1 bytes, with a
// terminating NUL, and returns the number of bytes copied without the NUL; 0 when the pack
// has no such string (or it is empty).
int get_string(int id, char* buffer, int bufferSize);

// Optional: a pack that exports this may also serve as the user-interface resource module.
const void* get_afx_extension_module(void);

#ifdef __cplusplus
}
#endif

#define PG_LANG_PACK_MARKER "get_lang_id"
#define PG_LANG_PACK_STRING_ENTRY "get_string"
#define PG_LANG_PACK_UI_MODULE "get_afx_extension_module"
