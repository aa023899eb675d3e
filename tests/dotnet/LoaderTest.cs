// The C# wrapper's choice of DLL and its errors, with the pointer size and
// the files faked in a folder of its own; files cut short; arguments refused.
// Usage: LoaderTest.exe libquorel.so
using System;
using System.IO;
using System.Linq;
using Quorel;

static class LoaderTest
{
    const ushort X86 = 0x014C, X64 = 0x8664, NotPe = 0;

    // A DLL whole as far as its headers go (one section at 0x200..0x400), or its first `cut` bytes.
    static void Fake(string root, string file, ushort machine, int cut)
    {
        string path = Path.Combine(root, file);
        Directory.CreateDirectory(Path.GetDirectoryName(path));
        byte[] image = new byte[machine == NotPe ? 0x90 : 0x400];
        if (machine != NotPe)
        {
            image[0] = (byte)'M'; image[1] = (byte)'Z'; image[0x3C] = 0x80; image[0x80] = (byte)'P'; image[0x81] = (byte)'E';
            image[0x86] = 1; image[0x94] = 0xF0;  // one section; SizeOfOptionalHeader
            BitConverter.GetBytes(machine).CopyTo(image, 0x84);
            // SizeOfImage, SizeOfHeaders; the section's virtual size and address, raw size and offset
            foreach (int[] field in new[] { new[] { 0xD0, 0x2000 }, new[] { 0xD4, 0x200 }, new[] { 0x190, 0x100 },
                                            new[] { 0x194, 0x1000 }, new[] { 0x198, 0x200 }, new[] { 0x19C, 0x200 } })
                BitConverter.GetBytes(field[1]).CopyTo(image, field[0]);
        }
        File.WriteAllBytes(path, image.Take(cut > 0 ? cut : image.Length).ToArray());
    }

    struct Case
    {
        public string Name; public int Bits; public string[] Files; public ushort[] Machines; public string Expect; public int Cut;
        public Case(string name, int bits, string[] files, ushort[] machines, string expect, int cut = 0)
        { Name = name; Bits = bits; Files = files; Machines = machines; Expect = expect; Cut = cut; }
    }

    static readonly char S = Path.DirectorySeparatorChar;
    static readonly Case[] Cases = {
        new Case("64-bit: x64 subfolder", 64, new[] { "x64/Quorel_64.dll", "x86/Quorel_32D.dll" }, new[] { X64, X86 }, "found x64/Quorel_64.dll"),
        new Case("32-bit (Prefer 32-bit): x86 subfolder", 32, new[] { "x64/Quorel_64.dll", "x86/Quorel_32D.dll" }, new[] { X64, X86 }, "found x86/Quorel_32D.dll"),
        new Case("64-bit: SDK runtimes folder", 64, new[] { "runtimes/win-x64/native/Quorel_64.dll" }, new[] { X64 }, "found runtimes/win-x64/native/Quorel_64.dll"),
        new Case("64-bit: beside the program", 64, new[] { "Quorel_64.dll" }, new[] { X64 }, "found Quorel_64.dll"),
        new Case("32-bit, only the 64-bit DLL", 32, new[] { "Quorel_64.dll" }, new[] { X64 },
            "Quorel_32D.dll not found; folders tried: {0}x86; {0}runtimes/win-x86/native; {0} ({0}Quorel_64.dll is there, but it is the 64-bit DLL and this process is 32-bit"),
        new Case("a 32-bit DLL under the 64-bit name", 64, new[] { "x64/Quorel_64.dll" }, new[] { X86 },
            "{0}x64/Quorel_64.dll is a 32-bit Windows DLL (x86), but this process is 64-bit"),
        new Case("not a DLL", 64, new[] { "Quorel_64.dll" }, new[] { NotPe }, "{0}Quorel_64.dll is not a Windows DLL"),
        new Case("cut in the DOS header", 64, new[] { "Quorel_64.dll" }, new[] { X64 }, "{0}Quorel_64.dll is truncated or damaged: it ends at byte 48", 0x30),
        new Case("cut in the section table", 64, new[] { "Quorel_64.dll" }, new[] { X64 }, "{0}Quorel_64.dll is truncated or damaged: its headers promise 432", 0x150),
        new Case("cut in a section", 64, new[] { "Quorel_64.dll" }, new[] { X64 }, "{0}Quorel_64.dll is truncated or damaged: its headers promise 1024 bytes (section", 0x3FF),
        new Case("nothing there", 64, new string[0], new ushort[0], "Quorel_64.dll not found; folders tried: {0}x64; {0}runtimes/win-x64/native; {0}"),
    };

    static string Choose(string root, int bits)
    {
        try { return "found " + Loader.FindLibrary(root, bits).Substring(root.Length); }
        catch (QuorelLoadException e) { return e.Message; }
    }

    // libquorel.so cut short, which mono would die loading.
    static void CutSharedObjects(byte[] so)
    {
        foreach (int cut in new[] { 64, 1000, 100000, so.Length - 1 })
        {
            string root = Path.Combine(Path.GetTempPath(), "quorel-loader-" + Guid.NewGuid().ToString("N")) + S, got = "accepted";
            Directory.CreateDirectory(root);
            File.WriteAllBytes(root + "libquorel.so", so.Take(cut).ToArray());
            try { Loader.CheckSharedObject(new[] { root }); } catch (QuorelLoadException e) { got = e.Message; }
            finally { Directory.Delete(root, true); }
            if (!got.StartsWith(root + "libquorel.so is truncated or damaged: ")) { ++failures; Console.WriteLine("FAIL cut to {0}: {1}", cut, got); }
        }
    }

    // What the tool refuses, refused before any call: the argument, then the words.
    static readonly Action[] Refused = { () => NativeMethods.Quorel_in(255), () => NativeMethods.Quorel_out(5, -1),
        () => NativeMethods.Quorel_in2(4, 6), () => NativeMethods.Quorel_out2(1, 5, 256), () => NativeMethods.Quorel_getvalidid2(new int[2]),
        () => NativeMethods.Quorel_setwr2wrdly(double.PositiveInfinity) };
    static readonly string[] RefusedWith = { "index: REG must be 0 to 254 (255 is the control/status register)",
        "value: VALUE must be 0 to 255", "board: board ID must be 0 to 3", "value: VALUE", "ids: ids must hold 4 ints",
        "microseconds: the pause must be finite" };

    static void Refusals()
    {
        for (int i = 0; i < Refused.Length; ++i)
        {
            string got = "not refused";
            try { Refused[i](); } catch (ArgumentException e) { got = e.ParamName + ": " + e.Message; }
            if (!got.StartsWith(RefusedWith[i])) { ++failures; Console.WriteLine("FAIL {0}: {1}", RefusedWith[i], got); }
        }
    }

    static int failures;

    static int Main(string[] args)
    {
        foreach (Case c in Cases)
        {
            string root = Path.Combine(Path.GetTempPath(), "quorel-loader-" + Guid.NewGuid().ToString("N")) + S;
            try
            {
                Directory.CreateDirectory(root);
                for (int i = 0; i < c.Files.Length; ++i)
                    Fake(root, c.Files[i], c.Machines[i], c.Cut);
                string got = Choose(root, c.Bits), want = string.Format(c.Expect, root).Replace('/', S);
                if (!got.StartsWith(want)) { ++failures; Console.WriteLine("FAIL {0}:\n  got  {1}\n  want {2}", c.Name, got, want); }
            }
            finally { Directory.Delete(root, true); }
        }
        string missing = Loader.LoadFailure("q/Quorel_64.dll", "Ulvexa64.dll", null, new[] { "q", "app" }, 126).Message;
        if (!missing.StartsWith("q/Quorel_64.dll could not be loaded: its driver-access library Ulvexa64.dll was not found; folders tried: q; app."))
        { ++failures; Console.WriteLine("FAIL driver missing: " + missing); }

        CutSharedObjects(File.ReadAllBytes(args[0]));
        Refusals();
        Console.WriteLine("{0} cases, {1} failed", Cases.Length + 1 + 4 + Refused.Length, failures);
        return failures == 0 ? 0 : 1;
    }
}
