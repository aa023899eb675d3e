// The P/Invoke declarations, once per DLL. NativeMethods picks one class
// by the process's bitness at run time, so an Any CPU build runs in a
// 32-bit process (Prefer 32-bit) as well as in a 64-bit one.
using System.Runtime.InteropServices;

namespace Quorel
{
    // Quorel_64.dll: one calling convention on x64, so StdCall is ignored.
    // Mono on Linux maps this name to libquorel.so (dllmap).
    static class X64
    {
        const string Dll = "Quorel_64.dll";
        const CallingConvention Convention = CallingConvention.StdCall;

        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_open(int index);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_close();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_in(int index);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_out(int index, int value);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_srst();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_enint();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_disint();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_ackint();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_sts();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_LibVersion(out int major, out int minor);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_setwr2wrdly(double microseconds);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_open2();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_close2();
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_in2(int board, int index);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_out2(int board, int index, int value);
        [DllImport(Dll, CallingConvention = Convention)] public static extern int Quorel_getvalidid2([Out] int[] ids);
    }

    // Quorel_32D.dll: __stdcall, bound by the decorated names (argument bytes
    // after the @), which the DLL exports for every function.
    static class X86
    {
        const string Dll = "Quorel_32D.dll";
        const CallingConvention Convention = CallingConvention.StdCall;

        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_open@4")] public static extern int Quorel_open(int index);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_close@0")] public static extern int Quorel_close();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_in@4")] public static extern int Quorel_in(int index);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_out@8")] public static extern int Quorel_out(int index, int value);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_srst@0")] public static extern int Quorel_srst();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_enint@0")] public static extern int Quorel_enint();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_disint@0")] public static extern int Quorel_disint();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_ackint@0")] public static extern int Quorel_ackint();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_sts@0")] public static extern int Quorel_sts();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_LibVersion@8")] public static extern int Quorel_LibVersion(out int major, out int minor);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_setwr2wrdly@8")] public static extern int Quorel_setwr2wrdly(double microseconds);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_open2@0")] public static extern int Quorel_open2();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_close2@0")] public static extern int Quorel_close2();
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_in2@8")] public static extern int Quorel_in2(int board, int index);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_out2@12")] public static extern int Quorel_out2(int board, int index, int value);
        [DllImport(Dll, CallingConvention = Convention, EntryPoint = "_Quorel_getvalidid2@4")] public static extern int Quorel_getvalidid2([Out] int[] ids);
    }
}
