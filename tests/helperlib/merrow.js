// Every operation of Merrow.MerrowClass as JScript calls it: every argument
// goes by value, and a number beyond the signed 32-bit range (the root key
// 0x80000002) as a double. What the operations leave in the registry and in
// the INI file is read back through the host's own objects. Each call is
// trapped and checked on its line; the last line says that the script ran to
// its end, which the host does not tell when an error stopped it.
var HKLM = 0x80000002;
var shell = new ActiveXObject("WScript.Shell");
var files = new ActiveXObject("Scripting.FileSystemObject");
var given = shell.Environment("PROCESS");
var windir = given("MERROW_WINDIR"), ini = given("MERROW_INI"), key = given("MERROW_KEY");
var o = new ActiveXObject("Merrow.MerrowClass");

// The call's result shown as its type and value, or its error's number in hex.
function expect(label, call, want) {
  var seen;
  try {
    var got = call();
    seen = got === undefined ? "undefined" : typeof got + ":" + got;
  } catch (e) {
    seen = "error " + (e.number >>> 0).toString(16);
  }
  WScript.Echo(seen === want ? "ok " + label : "FAIL " + label + ": " + seen + ", want " + want);
}
function stored(name) { return function () { return shell.RegRead("HKLM\\" + key + "\\" + name); }; }

expect("GetWindowsDir", function () { return o.GetWindowsDir(""); }, "undefined");
expect("GetWindowsSysDir", function () { return o.GetWindowsSysDir(0); }, "undefined");
expect("Capitalise", function () { return o.Capitalise("jean-luc mcleod"); }, "string:Jean-Luc McLeod");
expect("Capitalise undefined", function () { return o.Capitalise(undefined); }, "string:");

expect("write_ini_value", function () { return o.write_ini_value("Section", "key", "value 1", ini); }, "undefined");
expect("write_ini_value a number", function () { return o.write_ini_value("Section", "number", 5, ini); }, "undefined");
expect("read_ini_value", function () { return o.read_ini_value("Section", "key", "", ini); }, "undefined");
var big = new Array(65537).join("x");  // cut to its first characters, a text this much longer names another
expect("write_ini_value of a key cut to key", function () { return o.write_ini_value("Section", "key" + big, "cut", ini); },
       "undefined");
expect("the INI file", function () { return files.OpenTextFile(ini).ReadAll(); },
       "string:[Section]\r\nkey=value 1\r\nnumber=5\r\n");

expect("CreateNewKey, the root as a double", function () { return o.CreateNewKey(key, HKLM, 0); }, "undefined");
expect("WriteValue a text", function () { return o.WriteValue(key, "text", 1, "abc"); }, "undefined");
expect("the text stored", stored("text"), "string:abc");
expect("WriteValue a text of digits as a number", function () { return o.WriteValue(key, "number", 4, "12"); },
       "undefined");
expect("the number stored", stored("number"), "number:12");
expect("QueryValue", function () { return o.QueryValue(key, "text", ""); }, "undefined");
expect("delete_value", function () { return o.delete_value(key, "text", 1, ""); }, "undefined");
expect("the text deleted", stored("text"), "error 80070002");

expect("DirExists a folder", function () { return o.DirExists(windir); }, "boolean:true");
expect("DirExists a file", function () { return o.DirExists(ini); }, "boolean:false");
expect("ValidateText an allowed key", function () { return o.ValidateText(97, "abc", "AnyText"); }, "number:97");
expect("ValidateText backspace", function () { return o.ValidateText(8, "0123456789", "AnyText"); }, "number:8");
expect("ValidateText a refused key", function () { return o.ValidateText("d".charCodeAt(0), "abc", "x"); }, "number:0");
expect("Set_Colors", function () { return o.Set_Colors(); }, "undefined");

expect("null", function () { return o.GetWindowsDir(null); }, "error 80020005");
expect("a text for the root", function () { return o.CreateNewKey(key, "HKLM", 0); }, "error 80020005");
expect("a root beyond 32 bits", function () { return o.CreateNewKey(key, 0x100000000, 0); }, "error 8002000a");
expect("an object", function () { return o.GetWindowsDir(o); }, "error 80020005");
expect("too few arguments", function () { return o.GetWindowsDir(); }, "error 8002000e");
expect("too many arguments", function () { return o.Set_Colors(1); }, "error 8002000e");
expect("the operation's own error", function () { return o.ValidateText(-1, "abc", "AnyText"); }, "error 800a0005");
expect("the next call", function () { return o.DirExists(windir); }, "boolean:true");
WScript.Echo("done");
