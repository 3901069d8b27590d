// Bounded operations on NUL-terminated 8-bit strings held in fixed buffers.
#pragma once

#include <stddef.h>

// Every path, setting value and title lives in a buffer of this many bytes (259 characters and the
// terminator).
constexpr size_t PathBufferSize = 260;

// Size of the buffer NextField splits in: one entry of the install information with all its fields.
constexpr size_t FieldBufferSize = 1560;

// Appends addition to text so that text, terminator included, stays within size bytes; what does not fit
// is dropped. Nothing is appended when text already fills size bytes (or more).
void AppendBounded(size_t size, char* text, const char* addition);

// Copies at most size - 1 characters of source into dest and always terminates it (when size > 0).
// A null source gives an empty dest. Source and dest may overlap.
void CopyBounded(size_t size, char* dest, const char* source);

// 1 when every character is a blank (space or tab), also for an empty or null text; else 0.
int IsBlank(const char* text);

// In place: remove blanks at the start, at the end, or at both ends. Null is ignored.
void TrimLeft(char* text);
void TrimRight(char* text);
void Trim(char* text);

// 1 when nothing is left of the text once blanks and backslashes are trimmed from both ends: as a
// registry key path (or a name within one) it would name the root or the parent itself.
int IsBlankKeyPath(const char* text);

// In place: trim blanks, then remove all leading / trailing / both backslashes.
void TrimLeftBackslashes(char* text);
void TrimRightBackslashes(char* text);
void TrimBackslashes(char* text);

// In place, text must be a PathBufferSize buffer: trims it and wraps it in double quotes where it lacks
// them. The result holds at most 259 characters; a text too long for both quotes loses its end.
void QuotePath(char* text);

// Comma field splitter. With a text, starts splitting a copy of it (at most 1559 characters); with a null
// text, continues after the previous field. Returns the next field, which lives in the splitter's own
// buffer until the next call with a text; past the last field every call returns an empty field. When out
// is given (a PathBufferSize buffer), the field is also copied there, at most 259 characters.
// Blanks are kept, quotes mean nothing, and two adjacent commas give an empty field.
const char* NextField(char* out, const char* text);
// Splits text with NextField into the count buffers of fields (PathBufferSize bytes each), in order.
void SplitFields(const char* text, char* const* fields, int count);

// The text after the count-th comma, commas and all: the last field of an entry whose last field may
// hold commas. Empty when text has fewer commas.
const char* RestAfterFields(const char* text, int count);

// The decimal number at the start of text after blanks and tabs, 0 when there is none; at most six
// digits are taken, so a long run of digits cannot overflow.
int LeadingNumber(const char* text);

// The number in decimal with a comma between groups of three digits ("1,234,567").
// The result lives in an own buffer until the next call.
const char* GroupDigits(unsigned long number);
