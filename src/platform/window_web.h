// What a browser's window adds: the canvas follows the page.
#pragma once

// The canvas's drawing buffer takes its size on the page times the device
// pixel ratio; 1 (with the new size) when that changed since the last call.
// A hidden window (a capture's frame) keeps the size it was made with.
int ZELKOR_FollowPage(int* width, int* height);
