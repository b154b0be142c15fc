// Files through Windows paths: CreateFileA and friends over POSIX descriptors, the
// C-runtime opener for code that reads with stdio, and the mapping from a Windows
// path (any case, `\` separators, CP949 bytes) to the file system.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "plat/paths.h"
#include "plat/types.h"

constexpr DWORD MAX_PATH = 260;

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD GENERIC_EXECUTE = 0x20000000u;
constexpr DWORD GENERIC_ALL = 0x10000000u;
constexpr DWORD FILE_READ_DATA = 0x0001;
constexpr DWORD FILE_WRITE_DATA = 0x0002;
constexpr DWORD FILE_APPEND_DATA = 0x0004;

constexpr DWORD FILE_SHARE_READ = 0x1;
constexpr DWORD FILE_SHARE_WRITE = 0x2;
constexpr DWORD FILE_SHARE_DELETE = 0x4;

constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_ATTRIBUTE_TEMPORARY = 0x00000100;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

constexpr DWORD FILE_FLAG_WRITE_THROUGH = 0x80000000u;
constexpr DWORD FILE_FLAG_RANDOM_ACCESS = 0x10000000u;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000u;
constexpr DWORD FILE_FLAG_BACKUP_SEMANTICS = 0x02000000u;

constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFFu;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// Accepted and ignored: the layer has no overlapped I/O.
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;
using LPFILETIME = FILETIME*;

// Sharing is honoured between handles of this process: a second open that the first
// one's share mode does not allow fails with ERROR_SHARING_VIOLATION, and so does
// deleting a file that is open without FILE_SHARE_DELETE. A file whose mode has no
// write bit is read-only: opening it for writing, truncating or deleting it fails with
// ERROR_ACCESS_DENIED (even for root). CREATE_ALWAYS and OPEN_ALWAYS on an existing
// file succeed with last error ERROR_ALREADY_EXISTS.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
// Reads until `toRead` bytes or the end of the file; the end is success with fewer bytes.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
// Without `distanceHigh` the distance is a signed 32-bit value and the new position must
// fit 32 bits; with it, both form one 64-bit distance and receive the position's high
// part. Success clears the last error, so a position whose low part is 0xFFFFFFFF can be
// told from a failure.
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD moveMethod);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
// Linux keeps no creation time: creation and last write both report the modification time.
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);

// Attributes are DIRECTORY, READONLY (no write bit in the mode) or NORMAL.
DWORD GetFileAttributesA(LPCSTR fileName);
// READONLY removes every write bit of the mode; without it the owner may write again.
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes);
BOOL DeleteFileA(LPCSTR fileName);
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectoryA(LPCSTR pathName);

// plat::OpenCFile (plat/paths.h): writing modes refuse a read-only file.
// plat::MapPath (plat/paths.h) maps a Windows path to the file system:
//  - `\` and `/` both separate; repeated separators collapse; a trailing one is kept.
//  - A prefix registered with plat::sim::MapPathPrefix maps to its folder (longest first).
//  - Any other drive path `X:\rest` maps to the drive root (default "/") + rest; every
//    drive letter shares that root. A path starting with a separator is a native
//    absolute path; anything else is relative to the current directory (and stays
//    relative).
//  - Components are CP949 and become UTF-8. Each one that exists is looked up in its
//    directory: an exact match first, else an ASCII-case-insensitive match (the first in
//    byte order when several differ only by case). Components that do not exist keep
//    the case they were given.
