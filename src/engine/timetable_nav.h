// Finding one's way in the running timetable: what holds a music time, where
// entries start. Entries are active at t when start <= t <= start + length.
#pragma once
#include <cstdint>
#include <string>

// The active entry at t that began last (the later in the file on a tie), or -1.
int Timetable_EntryAt(uint32_t t);
// The earliest entry whose name matches (letter case aside, as the
// dispatcher matches), or -1.
int Timetable_Find(const char* name);
// Where the show ends: the start of its first "ende" entry; 0 when it has none.
int Timetable_ShowEnd(uint32_t* end);
// How many entries there are, and entry i's scene name.
int Timetable_Count();
std::string Timetable_Name(int i);
// The start and the end (start + length) of entry i.
uint32_t Timetable_Start(int i);
uint32_t Timetable_End(int i);
// The first start after t; 0 when none.
int Timetable_NextStart(uint32_t t, uint32_t* start);
// The last start before t - 500 ms, so pressing again goes further back than
// the start of the entry just begun; 0 when none.
int Timetable_PreviousStart(uint32_t t, uint32_t* start);
// The active entries' names joined with "+" in file order, or "-" in a gap.
std::string Timetable_ActiveNames(uint32_t t);
