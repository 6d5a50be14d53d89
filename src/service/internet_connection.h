#pragma once
// Whether the system reports a connection to the Internet.

bool IsInternetConnected();

// Tests stand in for a pulled network cable with this; Wine always reports a connection.
class OfflineForTesting {
  public:
    OfflineForTesting();
    OfflineForTesting(const OfflineForTesting&) = delete;
    OfflineForTesting& operator=(const OfflineForTesting&) = delete;
    ~OfflineForTesting();
};
