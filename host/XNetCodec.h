// Network-order (big-endian) codec over a plain memory range and a count of bytes
// left. Each call returns the pointer past what it handled and lowers the count,
// or returns null with the last error set and changes nothing.
#pragma once

#include <string>

#include "plat/types.h"

// Write: ERROR_INVALID_PARAMETER for a null pointer or count,
// ERROR_INSUFFICIENT_BUFFER when the value does not fit.
BYTE* WriteNetU32(BYTE* p, uint32_t* remaining, uint32_t value);
BYTE* WriteNetString(BYTE* p, uint32_t* remaining, const std::string& text);
// The count is of characters; each goes out as two bytes.
BYTE* WriteNetWString(BYTE* p, uint32_t* remaining, const std::u16string& text);

// Read: ERROR_INVALID_PARAMETER for a null argument; a short range is not an
// error (last error 0), just the end of the data.
const BYTE* ReadNetU32(const BYTE* p, uint32_t* remaining, uint32_t* value);
const BYTE* ReadNetU32(const BYTE* p, uint32_t* remaining, int32_t* value);
const BYTE* ReadNetU64(const BYTE* p, uint32_t* remaining, uint64_t* value);
const BYTE* ReadNetString(const BYTE* p, uint32_t* remaining, std::string* text);

uint16_t ByteSwap16(uint16_t v);
uint32_t ByteSwap32(uint32_t v);
uint64_t ByteSwap64(uint64_t v);
float ByteSwapFloat(float v);
double ByteSwapDouble(double v);
