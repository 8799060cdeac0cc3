// The reduction that both name comparisons apply to their upper-cased names.
#pragma once

#include <cstdint>

// Keeps, in order, only the bytes A to Z of `text`, closes the gaps and ends
// the text after the last byte kept. Works in place: the output never runs
// ahead of the input, so nothing past the original NUL is written. Answers
// the reduced length.
int32_t keepLettersAToZ(char* text);

// The same, also telling in `dropped` whether any byte was left out.
int32_t keepLettersAToZ(char* text, bool& dropped);

// Upper-cases the `length` bytes of `text` (length > 0) in place (a to z
// only) when all of them are letters a to z or A to Z, writing them also to
// `copy` unless it is null, and answers whether they were; otherwise leaves
// both alone. A few word-sized steps, no loop over the letters of a short
// name, nothing outside the `length` bytes touched.
bool upperCaseLettersOnly(char* text, int32_t length, char* copy = nullptr);

// Upper-cases `text` (of `length` bytes) in place as CharUpperA does and
// then keeps its letters A to Z as keepLettersAToZ does, in one pass, eight
// bytes a step for a text of letters only; CharUpperA itself is called only
// on the part from the first byte above 0x7F on. Answers the reduced length.
int32_t upperCaseAndKeepLettersAToZ(char* text, int32_t length);
