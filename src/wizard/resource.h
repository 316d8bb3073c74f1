// Resource identifiers of the wizard.
#pragma once
#define IDI_TAMSEL 1
#define IDB_NETWORK 10
#define IDI_CONFIRM 11
#define IDI_PASSWORD 12
#define IDI_EXIT 13
