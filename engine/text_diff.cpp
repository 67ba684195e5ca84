#include "engine/text_diff.h"

#include <algorithm>
#include <cstdint>

#include "engine/code_lines.h"

namespace ostrel::engine {
namespace {

using Lines = std::vector<std::string_view>;

// Beyond this many differing lines the shortest edit is not looked for.
constexpr std::int64_t kMostEdits = 1000;

enum class Op : std::uint8_t { Same, Removed, Added };

// The shortest edit turning a into b (Myers' greedy algorithm), or nothing
// when it needs more than kMostEdits steps.
bool ShortestEdit(const Lines& a, const Lines& b, std::vector<Op>& ops) {
    const auto n = static_cast<std::int64_t>(a.size());
    const auto m = static_cast<std::int64_t>(b.size());
    const std::int64_t most = std::min(n + m, kMostEdits);
    const std::int64_t offset = most + 1;
    std::vector<std::int64_t> v(static_cast<std::size_t>(2 * most + 3), 0);
    std::vector<std::vector<std::int64_t>> trace;
    for (std::int64_t d = 0; d <= most; ++d) {
        trace.push_back(v);
        for (std::int64_t k = -d; k <= d; k += 2) {
            const auto at = [&](std::int64_t kk) -> std::int64_t& {
                return v[static_cast<std::size_t>(kk + offset)];
            };
            std::int64_t x =
                (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
            std::int64_t y = x - k;
            while (x < n && y < m &&
                   a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)]) {
                ++x;
                ++y;
            }
            at(k) = x;
            if (x >= n && y >= m) {
                // Walk the trace back from the end.
                std::int64_t cx = n;
                std::int64_t cy = m;
                for (std::int64_t e = d; e > 0; --e) {
                    const std::vector<std::int64_t>& pv = trace[static_cast<std::size_t>(e)];
                    const auto prev = [&](std::int64_t kk) {
                        return pv[static_cast<std::size_t>(kk + offset)];
                    };
                    const std::int64_t ck = cx - cy;
                    const bool down = ck == -e || (ck != e && prev(ck - 1) < prev(ck + 1));
                    const std::int64_t pk = down ? ck + 1 : ck - 1;
                    const std::int64_t px = prev(pk);
                    const std::int64_t py = px - pk;
                    while (cx > px + (down ? 0 : 1) && cy > py + (down ? 1 : 0)) {
                        ops.push_back(Op::Same);
                        --cx;
                        --cy;
                    }
                    ops.push_back(down ? Op::Added : Op::Removed);
                    cx = px;
                    cy = py;
                }
                while (cx > 0 && cy > 0) {
                    ops.push_back(Op::Same);
                    --cx;
                    --cy;
                }
                std::reverse(ops.begin(), ops.end());
                return true;
            }
        }
    }
    return false;
}

std::string Header(std::size_t oldStart, std::size_t oldCount, std::size_t newStart,
                   std::size_t newCount) {
    // An empty range is numbered by the line before it, as diff does.
    const auto range = [](std::size_t start, std::size_t count) {
        return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
    };
    return "@@ -" + range(oldStart, oldCount) + " +" + range(newStart, newCount) + " @@";
}

// The edit from A to B, line by line; the lines both share at the start and
// the end are not searched.
std::vector<Op> EditOps(const Lines& a, const Lines& b) {
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) {
        ++head;
    }
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) {
        ++tail;
    }
    std::vector<Op> ops(head, Op::Same);
    if (head == a.size() && head == b.size()) {
        return ops;
    }
    const Lines midA(a.begin() + static_cast<std::ptrdiff_t>(head),
                     a.end() - static_cast<std::ptrdiff_t>(tail));
    const Lines midB(b.begin() + static_cast<std::ptrdiff_t>(head),
                     b.end() - static_cast<std::ptrdiff_t>(tail));
    std::vector<Op> middle;
    if (!ShortestEdit(midA, midB, middle)) {
        middle.assign(midA.size(), Op::Removed);
        middle.insert(middle.end(), midB.size(), Op::Added);
    }
    ops.insert(ops.end(), middle.begin(), middle.end());
    ops.insert(ops.end(), tail, Op::Same);
    return ops;
}

// Where the hunk that holds the change at FIRST ends: it takes in the next
// change while that is within two contexts, and keeps KEEP lines after the
// last.
std::size_t HunkEnd(const std::vector<Op>& ops, std::size_t first, std::size_t keep) {
    std::size_t end = first;
    for (std::size_t same = 0; end < ops.size(); ++end) {
        same = ops[end] == Op::Same ? same + 1 : 0;
        if (same > 2 * keep) {
            return end + 1 - same + keep;
        }
    }
    std::size_t same = 0;
    while (same < end - first && ops[end - 1 - same] == Op::Same) {
        ++same;
    }
    return end - (same > keep ? same - keep : 0);
}

}  // namespace

std::vector<std::string> UnifiedDiff(std::string_view oldText, std::string_view newText,
                                     int context) {
    const Lines a = CodeLines(oldText);
    const Lines b = CodeLines(newText);
    const std::vector<Op> ops = EditOps(a, b);

    // Each op's line numbers, then hunks around the changes.
    const auto keep = static_cast<std::size_t>(std::max(context, 0));
    std::vector<std::size_t> oldAt(ops.size() + 1);
    std::vector<std::size_t> newAt(ops.size() + 1);
    for (std::size_t k = 0; k < ops.size(); ++k) {
        oldAt[k + 1] = oldAt[k] + (ops[k] != Op::Added ? 1 : 0);
        newAt[k + 1] = newAt[k] + (ops[k] != Op::Removed ? 1 : 0);
    }
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < ops.size()) {
        if (ops[i] == Op::Same) {
            ++i;
            continue;
        }
        const std::size_t start = i >= keep ? i - keep : 0;
        const std::size_t end = HunkEnd(ops, i, keep);
        out.push_back(Header(oldAt[start], oldAt[end] - oldAt[start], newAt[start],
                             newAt[end] - newAt[start]));
        for (std::size_t k = start; k < end; ++k) {
            switch (ops[k]) {
                case Op::Same:
                    out.push_back(" " + std::string(a[oldAt[k]]));
                    break;
                case Op::Removed:
                    out.push_back("-" + std::string(a[oldAt[k]]));
                    break;
                case Op::Added:
                    out.push_back("+" + std::string(b[newAt[k]]));
                    break;
            }
        }
        i = end;
    }
    return out;
}

}  // namespace ostrel::engine
