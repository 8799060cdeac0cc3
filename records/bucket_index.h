// Items sorted into numbered buckets by counting, in one flat array: bucket
// b holds items[start[b]] to items[start[b + 1]] (exclusive), in the order
// they were given. A million records' own lists would cost a million
// allocations; this costs two.
#pragma once

#include <cstddef>

// `forEach(place)` calls `place(bucket, item)` for every item, in the same
// order each time it is called: once to count, once to place. `place`
// answers where the item went (its index in `items`), 0 while counting.
template <class Starts, class Items, class ForEach>
void bucketIndex(size_t buckets, ForEach forEach, Starts* start, Items* items) {
    using Item = typename Items::value_type;
    start->assign(buckets + 1, 0);
    forEach([&](size_t bucket, const Item&) -> size_t { return ++(*start)[bucket + 1], 0; });
    for (size_t b = 0; b < buckets; ++b) (*start)[b + 1] += (*start)[b];
    items->resize((*start)[buckets]);
    Starts next(start->begin(), start->end() - 1);
    forEach([&](size_t bucket, const Item& item) -> size_t {
        const size_t at = next[bucket]++;
        (*items)[at] = item;
        return at;
    });
}
