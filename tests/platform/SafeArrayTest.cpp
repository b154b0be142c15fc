#include <gtest/gtest.h>

#include "plat/error.h"
#include "plat/heap.h"
#include "plat/sim.h"
#include "plat/oleauto.h"

namespace {

class SafeArrayTest : public testing::Test {
 protected:
  void TearDown() override { plat::sim::ClearFaults(); }
};

TEST_F(SafeArrayTest, CreationRefusesWhatItCannotHold) {
  SAFEARRAYBOUND bound{4, 0};
  EXPECT_EQ(SafeArrayCreate(VT_EMPTY, 1, &bound), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 0, &bound), nullptr);
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 1, nullptr), nullptr);
  SAFEARRAYBOUND huge[2] = {{0x10000, 0}, {0x10000, 0}};
  EXPECT_EQ(SafeArrayCreate(VT_UI4, 2, huge), nullptr);
  plat::sim::FailNext("SafeArrayCreate");
  SetLastError(0);
  EXPECT_EQ(SafeArrayCreateVector(VT_UI1, 0, 4), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_OUTOFMEMORY);
}

TEST_F(SafeArrayTest, ALockedArrayCannotBeDestroyed) {
  SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, 0, 1);
  EXPECT_EQ(SafeArrayLock(a), S_OK);
  EXPECT_EQ(SafeArrayDestroy(a), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnlock(a), S_OK);
  EXPECT_EQ(SafeArrayUnlock(a), E_UNEXPECTED);
  plat::sim::FailNext("SafeArrayAccessData");
  void* data = nullptr;
  EXPECT_TRUE(FAILED(SafeArrayAccessData(a, &data)));
  EXPECT_EQ(a->cLocks, 0u) << "a failed access takes no lock";
  EXPECT_EQ(SafeArrayDestroy(a), S_OK);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
  EXPECT_EQ(SafeArrayGetDim(nullptr), 0u);
  EXPECT_EQ(SafeArrayAccessData(nullptr, &data), E_INVALIDARG);
}

TEST_F(SafeArrayTest, VariantClearFreesAnArrayAndEmptiesTheVariant) {
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(v.vt, VT_EMPTY);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, 8);
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(v.parray, nullptr);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"owned");
  EXPECT_EQ(VariantClear(&v), S_OK);  // the sanitizers see a leak otherwise
  EXPECT_EQ(v.vt, VT_EMPTY);
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = SafeArrayCreateVector(VT_UI1, 0, 1);
  SafeArrayLock(v.parray);
  EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(v.vt, VT_ARRAY | VT_UI1);
  SafeArrayUnlock(v.parray);
  EXPECT_EQ(VariantClear(&v), S_OK);
  v.vt = VT_I4;
  v.lVal = 5;
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(v.vt, VT_EMPTY);
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Heap, AllocationsCanBeZeroedAndForcedToFail) {
  auto* p = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, 64));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, p));
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, nullptr));
  plat::sim::FailNext("HeapAlloc");
  EXPECT_EQ(HeapAlloc(GetProcessHeap(), 0, 1), nullptr);
  EXPECT_EQ(HeapAlloc(nullptr, 0, 1), nullptr);
  plat::sim::ClearFaults();
}

TEST_F(SafeArrayTest, VectorsReportTheirBoundsAndZeroedData) {
  SAFEARRAY* a = SafeArrayCreateVector(VT_UI1, -2, 5);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(SafeArrayGetDim(a), 1u);
  EXPECT_EQ(a->cbElements, 1u);
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetLBound(a, 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(a, 1, &upper), S_OK);
  EXPECT_EQ(lower, -2);
  EXPECT_EQ(upper, 2);
  EXPECT_EQ(SafeArrayGetLBound(a, 2, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetUBound(a, 0, &upper), DISP_E_BADINDEX);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(a, &data), S_OK);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(static_cast<BYTE*>(data)[i], 0);
  EXPECT_EQ(SafeArrayUnaccessData(a), S_OK);
  EXPECT_EQ(SafeArrayDestroy(a), S_OK);

  SAFEARRAY* empty = SafeArrayCreateVector(VT_UI1, 0, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SafeArrayGetUBound(empty, 1, &upper), S_OK);
  EXPECT_EQ(upper, -1);
  SafeArrayDestroy(empty);
}

}  // namespace
