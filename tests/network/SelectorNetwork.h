// The network that the selector tests browse.
#pragma once

inline constexpr const char* kSelectorNetwork =
    "provider Office Network\n"
    "  domain QUILLON\n"
    "    server MASTER\n"
    "      share Users\n"
    "      share korvell | dats\n"
    "      share Private | closed\n"
    "      adminshare C$ | closed\n"
    "      printer Laser\n"
    "    server ACCOUNTS\n"
    "      share Ledgers\n"
    "provider Lab Network\n"
    "  workgroup LAB\n"
    "    server BIG\n"
    "      repeat 10000 share SHARE%05d | closed\n";

// The same providers, where the first server with shares has no planner's share.
inline constexpr const char* kUnsharedNetwork =
    "provider Office Network\n"
    "  domain QUILLON\n"
    "    server ACCOUNTS\n"
    "      share Ledgers\n"
    "provider Lab Network\n";
