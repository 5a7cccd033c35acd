# The measured-point conversion of a Plane validation file as a plain awk
# script, the yardstick the converter's speed is compared with:
#   awk -f bench/reference_plane.awk INPUT.dat > OUTPUT.dms
# Plane files only; other types and offset points are out of its scope.
BEGIN {
    print "$$ Validation DMIS file"
    print "DMISMN/'validation.dms' 04.0"
    print "FILNAM/'validation.dms'"
    print "$$"
    print "UNITS/MM,ANGDEC"
    print "D(MC_CSY)=DATSET/MCS"
    print "MODE/MAN"
    print "$$"
    print "$$ Increase the display precision to 5 decimal places minimum."
    print "DECPL/ALL,5"
    header = 0; remaining = 0; features = 0; dir = "0.000000000,0.000000000,1.000000000"
}
{
    line = $0
    gsub(/[ \t\r\f\v]+/, " ", line)
    sub(/^ /, "", line)
    sub(/ $/, "", line)
}
line ~ /^#/ { next }
!header {
    if (index(line, "Best_Fit_Validation:Version=1:Type=Plane") == 1) { header = 1; next }
    stop = 1; exit
}
tolower(substr(line, 1, 5)) == "plane" {
    n = split(substr(line, 7), f, " ")
    if (n != 9) next
    number = f[1] + 0; remaining = f[2] + 0; counter = 1
    print "$$"
    printf "$$ Plane %.6f %.6f %.6f %.9f %.9f %.9f %.6f\n", f[3], f[4], f[5], f[6], f[7], f[8], f[9]
    name = "PLN_" number
    nominal = sprintf("%.6f,%.6f,%.6f,%.9f,%.9f,%.9f", f[3], f[4], f[5], f[6], f[7], f[8])
    next
}
{
    if (remaining <= 0) { print "$$  ERR:  Number of data points greater than defined in feature."; next }
    if (split(line, p, " ") != 3) next
    label = "PT_" number "_" counter
    xyz = sprintf("%.6f,%.6f,%.6f", p[1], p[2], p[3])
    print "$$"
    print "F(" label ")=FEAT/POINT,CART," xyz "," dir
    print "MEAS/POINT,F(" label "),1"
    print "    PTMEAS/CART," xyz "," dir
    print "ENDMES"
    labels[counter] = label
    counter++; remaining--
    if (remaining == 0) {
        features++; fname[features] = name; fnominal[features] = nominal; fcount[features] = counter - 1
        for (k = 1; k < counter; k++) flabels[features, k] = labels[k]
    }
}
END {
    if (!stop && header) {
        for (i = 1; i <= features; i++) {
            print "$$"
            print "F(" fname[i] ")=FEAT/PLANE,CART," fnominal[i]
            n = fcount[i]
            statement = "CONST/PLANE,F(" fname[i] "),BF"; counter = 2
            for (k = 1; k <= n; k++) {
                statement = statement ",FA(" flabels[i, k] ")"; counter++
                if (k == n) break
                if (counter == 7) { print statement "$"; statement = ""; counter = 0 }
            }
            print statement
        }
    }
    print "ENDFIL"
}
