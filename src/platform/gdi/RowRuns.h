#pragma once

// The union of runs of pixels, row by row, for a shape drawn in pieces that overlap. Most
// pieces meet the run already open on their row and merely widen it; a piece that does not
// meet it is set aside until the rows are given out, each row's runs merged.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gdi/LineRaster.h"

class RowRuns {
  public:
    static constexpr int32_t kNone = 1 << 30;

    // Rows `first` to `last`, every one empty.
    RowRuns(int32_t first, int32_t last)
        : m_first(first),
          m_x0(static_cast<size_t>(last - first + 1), kNone),
          m_x1(static_cast<size_t>(last - first + 1), -kNone) {}

    // Pixels [a, b) of `row`, which lies within the rows given; nothing when b <= a.
    void Add(int32_t row, int32_t a, int32_t b) {
        if (a >= b) return;
        const auto i = static_cast<size_t>(row - m_first);
        if (m_x0[i] < m_x1[i] && (a > m_x1[i] || b < m_x0[i])) {
            m_apart.push_back({row, m_x0[i], m_x1[i]});
            m_x0[i] = a, m_x1[i] = b;
        } else {
            m_x0[i] = std::min(m_x0[i], a), m_x1[i] = std::max(m_x1[i], b);
        }
    }

    // Rows `row` to `row + count - 1` gain runs x0[k], x1[k] that the caller knows to meet
    // what those rows hold (or to be empty).
    void Widen(int32_t row, int32_t count, const int32_t* x0, const int32_t* x1) {
        int32_t* open0 = m_x0.data() + (row - m_first);
        int32_t* open1 = m_x1.data() + (row - m_first);
        // The hot loop of a wide pen: plain enough for the compiler to vectorise.
        for (int32_t k = 0; k < count; ++k) {
            open0[k] = std::min(open0[k], x0[k]);
            open1[k] = std::max(open1[k], x1[k]);
        }
    }

    // Each row's pixels as runs that neither overlap nor touch, row by row from the top.
    void Emit(const SpanSink& span) {
        const std::vector<uint32_t> start = GroupApartByRow();
        std::vector<Piece> row;
        for (size_t i = 0; i < m_x0.size(); ++i) {
            const int32_t y = m_first + static_cast<int32_t>(i);
            const Piece open{y, m_x0[i], m_x1[i]};
            if (start.empty() || start[i] == start[i + 1]) {
                if (open.x0 < open.x1) span(y, open.x0, open.x1);
                continue;
            }
            row.clear();
            if (open.x0 < open.x1) row.push_back(open);
            row.insert(row.end(), m_apart.begin() + start[i], m_apart.begin() + start[i + 1]);
            SortByStart(row);
            Piece merged = row.front();
            for (size_t k = 1; k < row.size(); ++k) {
                if (row[k].x0 <= merged.x1) {
                    merged.x1 = std::max(merged.x1, row[k].x1);
                } else {
                    span(y, merged.x0, merged.x1);
                    merged = row[k];
                }
            }
            span(y, merged.x0, merged.x1);
        }
    }

  private:
    struct Piece {
        int32_t row;
        int32_t x0;
        int32_t x1;
    };

    // Puts the pieces set aside in the order of their rows; where row i's begin and end in
    // them (empty when none was set aside). By counting, not by sorting them all: a long stroke
    // sets thousands aside, and each row holds only a few.
    std::vector<uint32_t> GroupApartByRow() {
        if (m_apart.empty()) return {};
        const size_t rows = m_x0.size();
        std::vector<uint32_t> start(rows + 1, 0);
        for (const Piece& piece : m_apart) ++start[static_cast<size_t>(piece.row - m_first) + 1];
        for (size_t i = 0; i < rows; ++i) start[i + 1] += start[i];
        std::vector<Piece> grouped(m_apart.size());
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (const Piece& piece : m_apart)
            grouped[next[static_cast<size_t>(piece.row - m_first)]++] = piece;
        m_apart = std::move(grouped);
        return start;
    }

    // A row holds a handful of pieces, which sort fastest by insertion; a scribble over and
    // over one row may hold many.
    static void SortByStart(std::vector<Piece>& pieces) {
        constexpr size_t kHandful = 16;
        if (pieces.size() > kHandful) {
            std::sort(pieces.begin(), pieces.end(),
                      [](const Piece& a, const Piece& b) { return a.x0 < b.x0; });
            return;
        }
        for (size_t k = 1; k < pieces.size(); ++k) {
            const Piece piece = pieces[k];
            size_t j = k;
            for (; j > 0 && pieces[j - 1].x0 > piece.x0; --j) pieces[j] = pieces[j - 1];
            pieces[j] = piece;
        }
    }

    int32_t m_first;
    std::vector<int32_t> m_x0;
    std::vector<int32_t> m_x1;
    std::vector<Piece> m_apart;
};
