// Text forms of the report's values and the operations applied to paths and path lists.
//
// A Text is a byte string in the process's code page. Lengths and positions count bytes,
// positions from 1. Operations that scan a text (asciiUpper, asciiLower, splitText, findLast)
// read it character by character under a CharRule: with the double-byte rule a byte from 0x80
// to 0xFF starts a two-byte character whose second byte is never looked at on its own. The
// overloads without a rule take the rule of the platform's code page (platform/code_page.h).
//
// Every function here is pure and may be called from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sw {

using Text = std::string;
using Bytes = std::vector<uint8_t>;

enum class CharRule { kSingleByte, kDoubleByte };

// A local wall-clock date and time: days since 1899-12-30 00:00:00; for a value below zero the
// fraction of its magnitude is the time of day (-1.25 is 1899-12-29 06:00:00).
using DateTimeValue = double;
inline constexpr DateTimeValue kEarliestDateTime = -657434;  // 100-01-01 00:00:00
inline constexpr DateTimeValue kLatestDateTime = 2958465;    // 9999-12-31 00:00:00

Text integerToText(int64_t v);
double roundReal(double x, int32_t places);
Text realToText(double x);  // "%.13g" with "." whatever the locale
Text dateTimeToText(DateTimeValue v);
Text hexText(int32_t v);  // "%X" of the 32 bits read as unsigned
Text asciiUpper(std::string_view t, CharRule rule);
Text asciiLower(std::string_view t, CharRule rule);
Text asciiUpper(std::string_view t);
Text asciiLower(std::string_view t);
std::vector<Text> splitText(std::string_view t, std::string_view sep, CharRule rule);
std::vector<Text> splitText(std::string_view t, std::string_view sep);
int32_t findLast(std::string_view t, std::string_view pattern, CharRule rule);
int32_t findLast(std::string_view t, std::string_view pattern);
Text leftText(std::string_view t, int64_t n);
Text rightText(std::string_view t, int64_t n);
int64_t textLength(std::string_view t);
Bytes textToBytes(std::string_view t);
Text bytesToText(const uint8_t* data, size_t size);
Text bytesToText(const Bytes& b);
int64_t truncateToInteger(double x);  // toward zero; NaN or out of range gives INT64_MIN

// The low 32 bits of truncateToInteger(x), as a signed 32-bit integer.
int32_t truncateToInt32(double x);

// Builds a DateTimeValue from a proleptic Gregorian date and a time of day.
DateTimeValue makeDateTime(int year, int month, int day, int hour, int minute, int second);

// Cuts t to at most maxBytes bytes without splitting a two-byte character.
Text cutText(std::string_view t, size_t maxBytes, CharRule rule);

}  // namespace sw
