# The test host's platform-free parts, which the headless host and the Windows host
# both build: the host records and their writer (the product's own sources, built again
# outside the module), a script's reader and its messages as bytes, and the recording,
# timed host callback.
set(TESTHOST_RECORDS_SOURCES
  ${CMAKE_SOURCE_DIR}/host/HostMessage.cpp ${CMAKE_SOURCE_DIR}/host/RCUser.cpp ${CMAKE_SOURCE_DIR}/host/RCRoomData.cpp
  ${CMAKE_SOURCE_DIR}/host/ArcReadWrite.cpp ${CMAKE_SOURCE_DIR}/host/CXBuf.cpp ${CMAKE_SOURCE_DIR}/host/XBufPool.cpp
  ${CMAKE_SOURCE_DIR}/host/XBufBlockAllocator.cpp ${CMAKE_SOURCE_DIR}/host/XBufString.cpp
  ${CMAKE_SOURCE_DIR}/base/TextUtil.cpp ${CMAKE_SOURCE_DIR}/base/ModuleGlobal.cpp)
set(TESTHOST_SCRIPT_SOURCES
  ${CMAKE_SOURCE_DIR}/tools/testhost/MessageFields.cpp ${CMAKE_SOURCE_DIR}/tools/testhost/ScriptMessages.cpp
  ${CMAKE_SOURCE_DIR}/tools/testhost/ScriptReader.cpp)
set(TESTHOST_TIMED_HOST_SOURCES
  ${CMAKE_SOURCE_DIR}/tools/testhost/TimedHost.cpp ${CMAKE_SOURCE_DIR}/tests/support/RecordingHost.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/Cp949Printer.cpp)
