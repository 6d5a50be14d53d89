#pragma once
// Makes every registry write of the current user fail while it lives: the current user's hive is
// pointed at a key that no longer exists, as the real registry allows.

#include <windows.h>

#include <gtest/gtest.h>

class UnwritableCurrentUser {
  public:
    UnwritableCurrentUser() {
        const char* path = "SOFTWARE\\MURLOX\\Gone";
        EXPECT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &gone_, nullptr),
                  ERROR_SUCCESS);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path);
        EXPECT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, gone_), ERROR_SUCCESS);
    }
    UnwritableCurrentUser(const UnwritableCurrentUser&) = delete;
    UnwritableCurrentUser& operator=(const UnwritableCurrentUser&) = delete;
    ~UnwritableCurrentUser() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(gone_);
    }

  private:
    HKEY gone_ = nullptr;
};
