// A growable block of memory that reads as zeros wherever nothing was written: anonymous pages
// from the kernel, moved by remapping when the block outgrows its mapping, never copied or
// cleared by hand, and on 2 MB pages where the kernel offers them. The mapping runs ahead of the
// block, so that growing by small steps costs no system call and every page it faults in can be
// a large one; pages never touched take no memory. The point storage and its min/max index live
// in such blocks: a recording of millions of points grows without copies and with few faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include <sys/mman.h>

class CChartZeroedPages {
public:
    // Large pages save faults on blocks of many megabytes; a small block would waste most of one.
    explicit CChartZeroedPages(bool largePages = false) : m_largePages(largePages) {}
    ~CChartZeroedPages() { Release(); }
    CChartZeroedPages(const CChartZeroedPages&) = delete;
    CChartZeroedPages& operator=(const CChartZeroedPages&) = delete;

    void* Data() const { return m_data; }
    size_t Size() const { return m_size; }

    // Grows or shrinks to bytes, keeping what is stored; what is new reads as zero. Throws
    // std::bad_alloc (and changes nothing) when the memory is not there.
    void Resize(size_t bytes) {
        if (bytes > m_mapped) {
            Remap(bytes > 2 * m_mapped ? bytes : 2 * m_mapped);
        } else if (bytes < m_size) {
            Zero(bytes, m_size); // what a later growth brings back must read as zero
        }
        m_size = bytes;
    }

    // Makes the first bytes read as zero again.
    void Zero(size_t bytes) { Zero(0, bytes < m_size ? bytes : m_size); }

    void Release() {
        if (m_data) {
            munmap(m_data, m_mapped);
        }
        m_data = nullptr;
        m_size = 0;
        m_mapped = 0;
    }

private:
    static constexpr size_t kLargePage = size_t{2} << 20;

    static size_t RoundUp(size_t bytes) { return (bytes + kLargePage - 1) & ~(kLargePage - 1); }

    // A fresh mapping of the given size on a large-page boundary; nullptr when there is none.
    char* MapAligned(size_t size) const {
        void* raw =
            mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) {
            return nullptr;
        }
        char* start = static_cast<char*>(raw);
        char* aligned = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(start) + kLargePage - 1) &
                                                ~uintptr_t{kLargePage - 1});
        if (aligned > start) {
            munmap(start, static_cast<size_t>(aligned - start));
        }
        munmap(aligned + size, static_cast<size_t>(start + size + kLargePage - (aligned + size)));
#ifdef MADV_HUGEPAGE
        if (m_largePages) {
            madvise(aligned, size, MADV_HUGEPAGE);
        }
#endif
        return aligned;
    }

    // A larger mapping: the pages in use move into its front, the rest of it is fresh.
    void Remap(size_t bytes) {
        const size_t mapped = RoundUp(bytes);
        char* fresh = MapAligned(mapped);
        if (!fresh) {
            throw std::bad_alloc();
        }
        if (m_data &&
            mremap(m_data, m_mapped, m_mapped, MREMAP_MAYMOVE | MREMAP_FIXED, fresh) == MAP_FAILED) {
            std::memcpy(fresh, m_data, m_size); // where pages cannot move, copy them once
            munmap(m_data, m_mapped);
        }
        m_data = fresh;
        m_mapped = mapped;
    }

    // Bytes [from, to) read as zero again: whole large pages go back to the kernel, which hands
    // out zeros for them, the rest is cleared.
    void Zero(size_t from, size_t to) {
        char* data = static_cast<char*>(m_data);
        const size_t first = RoundUp(from);
        const size_t last = to & ~(kLargePage - 1);
        if (first < last && madvise(data + first, last - first, MADV_DONTNEED) == 0) {
            std::memset(data + from, 0, first - from);
            std::memset(data + last, 0, to - last);
            return;
        }
        std::memset(data + from, 0, to - from);
    }

    const bool m_largePages;
    void* m_data = nullptr;
    size_t m_size = 0;   // bytes in use
    size_t m_mapped = 0; // bytes mapped, ahead of the use
};
