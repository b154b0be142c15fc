// Guard-page fenced pixel buffers for blit tests.
#include "support/FencedBuffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace testing_support {

namespace {
size_t PageSize() { return size_t(sysconf(_SC_PAGESIZE)); }
size_t RoundUp(size_t v, size_t page) { return (v + page - 1) / page * page; }
}  // namespace

FencedBuffer::FencedBuffer(int32_t rows, int32_t rowBytes, Fence fence) : m_rows(rows), m_rowBytes(rowBytes) {
  const size_t page = PageSize();
  const size_t rowsSafe = size_t(rows > 0 ? rows : 0);
  if (fence == Fence::kEnds) {
    const size_t data = RoundUp(rowsSafe * size_t(rowBytes) + 1, page);
    m_mapSize = data + 2 * page;
    m_pitch = rowBytes;
  } else {
    const size_t slot = RoundUp(size_t(rowBytes) + 1, page) + page;  // row pages plus its guard
    m_mapSize = page + slot * rowsSafe;
    m_pitch = int32_t(slot);
  }
  void* map = mmap(nullptr, m_mapSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (map == MAP_FAILED) std::abort();
  m_map = static_cast<uint8_t*>(map);
  mprotect(m_map, page, PROT_NONE);
  if (fence == Fence::kEnds) {
    uint8_t* end = m_map + m_mapSize - page;
    mprotect(end, page, PROT_NONE);
    m_first = end - rowsSafe * size_t(rowBytes);
  } else {
    for (size_t y = 0; y < rowsSafe; ++y) {
      uint8_t* guard = m_map + page + (y + 1) * size_t(m_pitch) - page;
      mprotect(guard, page, PROT_NONE);
    }
    m_first = m_map + page + size_t(m_pitch) - page - size_t(rowBytes);
  }
  for (size_t y = 0; y < rowsSafe; ++y) std::memset(m_first + y * size_t(m_pitch), 0, size_t(rowBytes));
}

FencedBuffer::~FencedBuffer() { munmap(m_map, m_mapSize); }

}  // namespace testing_support
