#pragma once

#include <rapidjson/allocators.h>
#include <rapidjson/reader.h>

#include <cstddef>

// The reader of patch lists: RapidJSON's event reader, with a stack whose
// first growth does no arithmetic on a null pointer. RapidJSON 1.1.0 checks
// for room by adding to the stack's top before the stack has memory, which
// is undefined behaviour and ends every parse in a sanitizer build; the check
// here compares what is left instead, for this reader's allocator only.
struct ListStackAllocator : rapidjson::CrtAllocator
{
};

template <>
template <typename T>
inline void rapidjson::internal::Stack<ListStackAllocator>::Reserve(size_t count)
{
    if (RAPIDJSON_UNLIKELY(size_t(stackEnd_ - stackTop_) < sizeof(T) * count))
        Expand<T>(count);
}

using ListReader =
    rapidjson::GenericReader<rapidjson::UTF8<>, rapidjson::UTF8<>, ListStackAllocator>;
