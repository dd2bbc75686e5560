#pragma once
// Titles of the clips of the four game discs: row d is DiscId d, slot i the
// (i+1)-th clip of that disc; the titles fill each row from slot 0, the rest is null.
constexpr int CLIP_TITLE_ROWS = 4;
constexpr int CLIP_TITLE_SLOTS = 40;

extern const char* const g_clipTitles[CLIP_TITLE_ROWS][CLIP_TITLE_SLOTS];
