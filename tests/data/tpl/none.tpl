LAYOUT
{
 TPAGE
 {
  WIDTH=256
  HEIGHT=256
 }
}
