#pragma once
// The registration datagram that each display program sends to the point-of-sale host once, during its
// form creation: UTF-16LE text "1002003" + XML declaration + an Item element naming the program.
#include <winsock2.h>

#include <cstdint>
#include <string>

// Where the datagram goes and where it comes from, filled by the program's unit start-up and form
// creation.
struct RegistrationTarget {
  std::string RegHost;  // dotted IPv4 address, 8-bit text in the system's ANSI code page
  int32_t RegPort = 2489;  // its low 16 bits are the UDP port
  SOCKET RegistrationSocket = INVALID_SOCKET;
};

// The text sent, e.g. 1002003<?xml version="1.0" encoding="utf-8"?><Item Name="Orderlume"
// Scenario="0" Check="1" /> (one line).
std::wstring RegistrationText(const std::wstring& name, bool takesScenarios);

// Sends the datagram and logs the outcome; never raises.
void SendRegistration(const RegistrationTarget& target, const std::wstring& text);
