/* A DLL that breaks the __stdcall contract on purpose, for the stack check
   to catch: _Quorel_open@4 is a __cdecl function (it leaves its argument on
   the stack) and _Quorel_in@4 a __stdcall one of two arguments (it removes
   eight bytes). _Quorel_close@0 is right: with no arguments the two
   conventions agree. Exported through stack_wrong.def. */
int __cdecl wrong_open(int index) { return index; }
int __stdcall wrong_in(int index, int unused) { (void)unused; return index; }
int __cdecl right_close(void) { return 0; }
