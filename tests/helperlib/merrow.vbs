' Every operation of Merrow.MerrowClass as VBScript calls it: a variable goes
' by reference, a literal or an argument in parentheses by value. Each call
' is trapped and checked on its line; the last line says that the script ran
' to its end, which the host does not tell when an error stopped it.
Option Explicit
Const HKLM = &H80000002
Dim given, o, windir, sysdir, ini, key, w, s, t, n, r, v, big
Set given = CreateObject("WScript.Shell").Environment("PROCESS")
windir = given("MERROW_WINDIR"): sysdir = given("MERROW_SYSDIR"): ini = given("MERROW_INI"): key = given("MERROW_KEY")
Set o = CreateObject("Merrow.MerrowClass")

' The last call's result shown as its type and value, or its error's number.
Sub Expect(label, got, want)
  Dim seen
  If Err.Number <> 0 Then seen = "error " & Err.Number Else seen = TypeName(got) & ":" & got
  Err.Clear
  If seen = want Then WScript.Echo "ok " & label Else WScript.Echo "FAIL " & label & ": " & seen & ", want " & want
End Sub

On Error Resume Next
o.GetWindowsDir w: Expect "GetWindowsDir into an unassigned variable", w, "String:" & windir
s = 1: o.GetWindowsSysDir s: Expect "GetWindowsSysDir into a number variable", s, "String:" & sysdir
w = "kept": o.GetWindowsDir (w): Expect "GetWindowsDir by value", w, "String:kept"
t = "jean-luc mcleod": v = o.Capitalise(t): Expect "Capitalise a variable", v & "/" & t, "String:Jean-Luc McLeod/jean-luc mcleod"
v = o.Capitalise(Empty): Expect "Capitalise Empty", v, "String:"

v = o.write_ini_value("Section", "key", "value 1", ini): Expect "write_ini_value literals", v, "Empty:"
n = 5: o.write_ini_value "Section", "number", n, ini: Expect "write_ini_value a number", Empty, "Empty:"
v = "default": o.read_ini_value "Section", "key", v, ini: Expect "read_ini_value", v, "String:value 1"
v = "default": o.read_ini_value "Section", "missing", v, ini: Expect "read_ini_value a missing key", v, "String:default"
n = 0: o.read_ini_value "Section", "number", n, ini: Expect "read_ini_value into a number variable", n, "Integer:5"
v = Empty: o.read_ini_value "Section", "missing", v, ini: Expect "read_ini_value with Empty", v, "String:"

r = Empty: o.CreateNewKey key, HKLM, r: Expect "CreateNewKey", r, "Long:0"
r = "-1": o.CreateNewKey key, 2147483650, r: Expect "CreateNewKey, the root as a double", r, "String:0"
v = o.WriteValue(key, "text", 1, "abc  "): Expect "WriteValue a text", v, "Empty:"
n = "12": o.WriteValue key, "number", 4, n: Expect "WriteValue a text of digits as a number", Empty, "Empty:"
v = "": o.QueryValue key, "text", v: Expect "QueryValue a text", v, "String:abc"
v = 0: o.QueryValue key, "number", v: Expect "QueryValue a number into a number variable", v, "Integer:12"
o.delete_value key, "text", 1, "": Expect "delete_value", Empty, "Empty:"
v = "x": o.QueryValue key, "text", v: Expect "QueryValue a deleted value", v, "String:"

' A text longer than the system takes is refused: cut to its first characters
' it would name the decoys "alias".
big = String(65536, "x")
o.write_ini_value "Section", "alias", "kept", ini: o.write_ini_value "Section", "alias" & big, "cut", ini
o.write_ini_value "Section", "alias", String(70000, "v"), ini
v = "": o.read_ini_value "Section", "alias", v, ini: Expect "write_ini_value of a key cut to alias, of 70,000 characters", v, "String:kept"
v = "default": o.read_ini_value "Section", "alias" & big, v, ini: Expect "read_ini_value of a key cut to alias", v, "String:default"
o.WriteValue key, "alias", 1, "kept": o.WriteValue key, "alias" & big, 1, "cut"
v = "x": o.QueryValue key, "alias" & big, v: Expect "QueryValue of a name cut to alias", v, "String:"
o.delete_value key, "alias" & big, 1, "": v = "": o.QueryValue key, "alias", v
Expect "WriteValue and delete_value of a name cut to alias", v, "String:kept"
o.CreateNewKey key & "\alias", HKLM, r: o.WriteValue key & "\alias", "v", 1, "kept"
o.WriteValue key & "\alias" & big, "v", 1, "cut": o.delete_value key & "\alias" & big, "v", 1, ""
v = "": o.QueryValue key & "\alias", "v", v: Expect "WriteValue and delete_value in a key cut to alias", v, "String:kept"
r = Empty: o.CreateNewKey key & "\new" & big, HKLM, r: Expect "CreateNewKey of a key cut to new", r, "Long:87"
v = o.DirExists(windir & big): Expect "DirExists of a path cut to a folder", v, "Boolean:False"

v = o.DirExists(windir): Expect "DirExists a folder", v, "Boolean:True"
v = o.DirExists((ini)): Expect "DirExists a file", v, "Boolean:False"
n = 97: v = o.ValidateText(n, "abc", "AnyText"): Expect "ValidateText an allowed key", v, "Integer:97"
v = o.ValidateText("8", "0123456789", "AnyText"): Expect "ValidateText a text of digits", v, "Integer:8"
v = o.ValidateText(Asc("d"), "abc", "AnyText"): Expect "ValidateText a refused key", v, "Integer:0"
v = o.Set_Colors(): Expect "Set_Colors", v, "Empty:"

o.GetWindowsDir Null: Expect "Null", Empty, "error 13"
o.CreateNewKey key, "HKLM", r: Expect "a text for the root", Empty, "error 13"
o.CreateNewKey key, 4294967296, r: Expect "a root beyond 32 bits", Empty, "error 6"
o.GetWindowsDir o: Expect "an object", Empty, "error 13"
o.read_ini_value "Section", "key", v: Expect "too few arguments", Empty, "error 450"
o.CreateNewKey key, , r: Expect "an argument left out", Empty, "error 450"
o.Set_Colors 1: Expect "too many arguments", Empty, "error 450"
o.ValidateText -1, "abc", "AnyText": Expect "the operation's own error", Empty, "error 5"
w = Empty: o.GetWindowsDir w: Expect "the next call", w, "String:" & windir
WScript.Echo "done"
