// Opens the first card, writes and reads back a register, then every board
// by its ID, through the wrapper (the NuGet package Quorel, or its sources in
// dotnet/src). Build: mcs -out:QuorelExample.exe ../../dotnet/src/*.cs Example.cs
// (Windows: csc, with Quorel_64.dll, Quorel_32D.dll or both in x64\ and x86\
// beside QuorelExample.exe, and the driver-access library, see docs/dotnet.md).
using System;
using Quorel;

static class Example
{
    const int Register = 5;  // the byte at offset 20 of the card's window

    static bool SingleCard()
    {
        int result = NativeMethods.Quorel_open(0);
        if (result != NativeMethods.Success)
            throw new InvalidOperationException("Quorel_open(0) returned " + result +
                (result == NativeMethods.NothingToActOn ? ": no card found" : ": its register window could not be mapped"));
        NativeMethods.Quorel_out(Register, 0xA5);
        int value = NativeMethods.Quorel_in(Register);
        Console.WriteLine("register {0}: 0x{1:X2}, status 0x{2:X2}", Register, value, NativeMethods.Quorel_sts());
        NativeMethods.Quorel_close();
        return value == 0xA5;
    }

    static bool EveryBoard()
    {
        if (NativeMethods.Quorel_open2() != NativeMethods.Success)
            throw new InvalidOperationException("Quorel_open2 found no card");
        int[] ids = new int[4];
        NativeMethods.Quorel_getvalidid2(ids);
        bool ok = true;
        for (int board = 0; board < ids.Length; ++board)
        {
            if (ids[board] == 0)
                continue;
            NativeMethods.Quorel_out2(board, Register, 0x50 + board);
            int value = NativeMethods.Quorel_in2(board, Register);
            Console.WriteLine("board {0}: register {1} 0x{2:X2}", board, Register, value);
            ok &= value == 0x50 + board;
        }
        NativeMethods.Quorel_close2();
        return ok;
    }

    static int Main()
    {
        int major, minor;
        NativeMethods.Quorel_LibVersion(out major, out minor);  // also prints the banner
        NativeMethods.Quorel_setwr2wrdly(2.0);  // 2 us after each write to a 1 KiB-window card
        bool ok = SingleCard() && EveryBoard();
        Console.WriteLine("library version {0}.{1}: {2}", major, minor,
            ok ? "all values read back" : "a value did not read back");
        return ok ? 0 : 1;
    }
}
