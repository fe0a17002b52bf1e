// The mark of the scene API. The engine is compiled with hidden visibility;
// exactly the declarations a scene may call carry ZELKOR_API, and every host
// (marovy, zelkor play and capture, a show's own program) exports them, so a
// scene library finds the same set wherever it is loaded, and nothing else.
#pragma once

#define ZELKOR_API __attribute__((visibility("default")))
