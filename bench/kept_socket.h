#pragma once

// The floor for a send: one broadcast socket opened once and kept, so each
// datagram costs only the sendto itself.

#include <cstdint>

std::intptr_t OpenKeptSocket();
void SendOnKeptSocket(std::intptr_t socket, const unsigned char (&destination)[128], const void* data,
                      std::int32_t length);
void CloseKeptSocket(std::intptr_t socket);
