#pragma once
// Basic types of the run-time library. Text is UTF-16 throughout; 8-bit text
// (AnsiString) lives only on the wire and in socket buffers.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Char = char16_t;
using String = std::u16string;
using AnsiString = std::string;
using RawByteString = std::string;

using Boolean = bool;
using Byte = std::uint8_t;
using Word = std::uint16_t;
using SmallInt = std::int16_t;
using Cardinal = std::uint32_t;
using Integer = std::int32_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;
using NativeInt = std::intptr_t;
using NativeUInt = std::uintptr_t;

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

// Free notification: a component is being added to or removed from another.
enum TOperation { opInsert, opRemove };

class TObject {
public:
  virtual ~TObject() = default;
};

// Event with a sender, as Classes.TNotifyEvent.
using TNotifyEvent = std::function<void(TObject* Sender)>;

using TBytes = std::vector<Byte>;
