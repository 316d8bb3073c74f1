// Resource identifiers of the wizard.
#pragma once
#define IDI_TAMSEL 1
