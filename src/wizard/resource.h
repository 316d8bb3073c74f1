// Resource identifiers of the wizard.
#pragma once
#define IDI_TAMSEL 1
// The network tree's image strips, one per image size: 16, 24 and 32 pixels.
#define IDB_NETWORK 10
#define IDB_NETWORK_24 14
#define IDB_NETWORK_32 15
#define IDI_CONFIRM 11
#define IDI_PASSWORD 12
#define IDI_EXIT 13
